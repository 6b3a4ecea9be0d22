#include "platform/qt/qt_shell.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

namespace trovix::platform {

bool QtShell::openUrl(const QString& url) {
    return QDesktopServices::openUrl(QUrl(url));
}

bool QtShell::openInTextEditor(const QString& fileName) {
    // An absolute path never reads as an option, whatever the name begins with.
    const QString path = QFileInfo(fileName).absoluteFilePath();
#if defined(Q_OS_WIN)
    return QProcess::startDetached(QStringLiteral("notepad.exe"), {QDir::toNativeSeparators(path)});
#elif defined(Q_OS_MACOS)
    // -t: the user's default text editor, whatever the file's extension.
    return QProcess::startDetached(QStringLiteral("open"), {QStringLiteral("-t"), path});
#else
    // The desktop's handler for a text file is the user's text editor; it opens only a file
    // that exists. Then $VISUAL or $EDITOR, started without a shell with the name as one
    // argument, which also takes a name that does not exist yet.
    if (QFileInfo(path).isFile() && QDesktopServices::openUrl(QUrl::fromLocalFile(path))) {
        return true;
    }
    for (const char* variable : {"VISUAL", "EDITOR"}) {
        QStringList command = QProcess::splitCommand(qEnvironmentVariable(variable));
        if (command.isEmpty()) {
            continue;
        }
        const QString program = command.takeFirst();
        if (QProcess::startDetached(program, command << path)) {
            return true;
        }
    }
    return false;
#endif
}

bool QtShell::startProgram(const QString& program, const QStringList& arguments,
                           const QString& workingFolder) {
    return QProcess::startDetached(program, arguments, workingFolder);
}

}  // namespace trovix::platform
