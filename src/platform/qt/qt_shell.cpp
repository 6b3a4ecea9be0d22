#include "platform/qt/qt_shell.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace trovix::platform {

bool QtShell::openUrl(const QString& url) {
    return QDesktopServices::openUrl(QUrl(url));
}

QString QtShell::whyUrlFailed(const QString& url) {
    const QString scheme = QUrl(url).scheme();
    // A mailto: link goes to a mail program, any other to a web browser.
    const bool mail = scheme == QLatin1String("mailto");
    const auto noneSetUp = [&] {
        return (mail ? QCoreApplication::translate("QtShell",
                                                   "no mail program is set up for %1: links")
                     : QCoreApplication::translate("QtShell",
                                                   "no web browser is set up for %1: links"))
            .arg(scheme);
    };
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    // The desktop opens links through xdg-open, which asks xdg-mime for the program set up for
    // the link's kind.
    if (QStandardPaths::findExecutable(QStringLiteral("xdg-open")).isEmpty()) {
        return QCoreApplication::translate("QtShell",
                                           "xdg-open is not installed (package xdg-utils)");
    }
    QProcess query;
    query.start(QStringLiteral("xdg-mime"), {QStringLiteral("query"), QStringLiteral("default"),
                                             QStringLiteral("x-scheme-handler/") + scheme});
    if (query.waitForFinished(3000) && query.exitStatus() == QProcess::NormalExit &&
        query.readAllStandardOutput().trimmed().isEmpty()) {
        return noneSetUp();
    }
    return (mail ? QCoreApplication::translate(
                       "QtShell", "the mail program set up for %1: links did not start")
                 : QCoreApplication::translate(
                       "QtShell", "the web browser set up for %1: links did not start"))
        .arg(scheme);
#else
    return noneSetUp();
#endif
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
