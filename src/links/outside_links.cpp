#include "links/outside_links.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "state/build_info.h"

namespace trovix::links {
namespace {

// The update program's names: ".exe" files on Windows, plain names elsewhere.
QString programName(const char* base) {
#ifdef Q_OS_WIN
    return QString::fromLatin1(base) + QStringLiteral(".exe");
#else
    return QString::fromLatin1(base);
#endif
}

void tell(const platform::Services& services, const QString& text, const QString& title,
          platform::MessageIcon icon) {
    services.messages->show(text, title, platform::MessageButtons::Ok, icon);
}

}  // namespace

QString authorMailUrl() {
    return QStringLiteral("mailto:") + QString::fromUtf8(kAuthorEmail) +
           QStringLiteral("?subject=Trovix7&body=Comments:");  // the author sorts mail by it
}

void emailAuthor(const platform::Services& services, const QString& programFolder) {
    if (!programFolder.isEmpty()) {
        QDir::setCurrent(programFolder);
    }
    const QString url = authorMailUrl();
    if (!services.shell->openUrl(url)) {
        tell(services,
             QCoreApplication::translate("OutsideLinks", "Error sending email!\n\n%1.")
                 .arg(services.shell->whyUrlFailed(url)),
             QCoreApplication::translate("OutsideLinks", "Send Email to Author"),
             platform::MessageIcon::Warning);
    }
}

void openWebSite(const platform::Services& services) {
    const QString site = QString::fromUtf8(kWebSite);
    // The desktop gives no error number: say what failed instead.
    if (site.isEmpty()) {
        tell(services,
             QCoreApplication::translate(
                 "OutsideLinks",
                 "Could not locate web site!  Error: this copy of Trovix names none"),
             QString(), platform::MessageIcon::None);
    } else if (!services.shell->openUrl(site)) {
        tell(services,
             QCoreApplication::translate(
                 "OutsideLinks", "Could not locate web site!  Error: %1, so %2 could not be opened")
                 .arg(services.shell->whyUrlFailed(site), site),
             QString(), platform::MessageIcon::None);
    }
}

bool onlineUpdate(const platform::Services& services, const QString& programFolder) {
    const QDir folder(programFolder);
    const QString updater = folder.filePath(programName("Patchlet"));
    if (!QFile::exists(updater) && !QFileInfo(folder.path()).isWritable()) {
        // Installed by the system's packages: no update program, and none could be put here.
        tell(services,
             QCoreApplication::translate(
                 "OutsideLinks",
                 "This copy of Trovix was installed by the system's package manager, "
                 "which brings its updates. Trovix stays open."),
             QCoreApplication::translate("OutsideLinks", "Online Update"),
             platform::MessageIcon::Information);
        return false;
    }
    if (services.messages->show(
            QCoreApplication::translate("OutsideLinks",
                                        "Trovix will close to check for online updates!"),
            QCoreApplication::translate("OutsideLinks", "Online Update"),
            platform::MessageButtons::OkCancel,
            platform::MessageIcon::Information) != platform::MessageAnswer::Ok) {
        return false;
    }
    const QString newer = folder.filePath(programName("Update"));
    bool ok = true;
    if (QFile::exists(newer)) {
        ok = QFile::remove(updater) && QFile::rename(newer, updater);
    }
    ok = ok && services.shell->startProgram(updater, {}, folder.path());
    if (!ok) {
        tell(services,
             QCoreApplication::translate(
                 "OutsideLinks", "Error updating Trovix.  Close all programs and try again!"),
             QStringLiteral("Patchlet"), platform::MessageIcon::None);  // a program's name
    }
    return ok;
}

}  // namespace trovix::links
