#include "platform/qt/qt_shell.h"

#include <QDesktopServices>
#include <QDir>
#include <QProcess>
#include <QUrl>

namespace trovix::platform {

bool QtShell::openUrl(const QString& url) {
    return QDesktopServices::openUrl(QUrl(url));
}

bool QtShell::openInTextEditor(const QString& fileName) {
#if defined(Q_OS_WIN)
    return QProcess::startDetached(QStringLiteral("notepad.exe"),
                                   {QDir::toNativeSeparators(fileName)});
#elif defined(Q_OS_MACOS)
    // -t: the user's default text editor, whatever the file's extension.
    return QProcess::startDetached(QStringLiteral("open"), {QStringLiteral("-t"), fileName});
#else
    // $VISUAL and $EDITOR often name terminal editors, which would need a terminal we do not
    // have. The desktop's handler for the file's type is the user's text editor for a text
    // file; xdg-open is the same lookup when Qt has no desktop integration.
    if (QDesktopServices::openUrl(QUrl::fromLocalFile(fileName))) {
        return true;
    }
    return QProcess::startDetached(QStringLiteral("xdg-open"), {fileName});
#endif
}

bool QtShell::startProgram(const QString& program, const QStringList& arguments,
                           const QString& workingFolder) {
    return QProcess::startDetached(program, arguments, workingFolder);
}

}  // namespace trovix::platform
