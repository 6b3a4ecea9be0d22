#include "links/outside_links.h"

#include <QDir>
#include <QFile>

#include "state/build_info.h"
#include "state/main_state.h"

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

void tell(MainState& state, const QString& text, const QString& title, platform::MessageIcon icon) {
    state.services.messages->show(text, title, platform::MessageButtons::Ok, icon);
}

}  // namespace

QString authorMailUrl() {
    return QStringLiteral("mailto:") + QString::fromUtf8(kAuthorEmail) +
           QStringLiteral("?subject=Trovix7&body=Comments:");
}

void emailAuthor(MainState& state) {
    if (!state.programFolder.isEmpty()) {
        QDir::setCurrent(state.programFolder);
    }
    if (!state.services.shell->openUrl(authorMailUrl())) {
        tell(state, QStringLiteral("Error sending email!"), QStringLiteral("Send Email to Author"),
             platform::MessageIcon::Warning);
    }
}

void openWebSite(MainState& state) {
    const QString site = QString::fromUtf8(kWebSite);
    if (!state.services.shell->openUrl(site)) {
        // The desktop gives no error number: say what failed instead.
        tell(state,
             QStringLiteral("Could not locate web site!  Error: no web browser could open %1")
                 .arg(site),
             QString(), platform::MessageIcon::None);
    }
}

void onlineUpdate(MainState& state) {
    if (state.services.messages->show(
            QStringLiteral("Trovix will close to check for online updates!"),
            QStringLiteral("Online Update"), platform::MessageButtons::OkCancel,
            platform::MessageIcon::Information) != platform::MessageAnswer::Ok) {
        return;
    }
    const QDir folder(state.programFolder);
    const QString updater = folder.filePath(programName("Patchlet"));
    const QString newer = folder.filePath(programName("Update"));
    bool ok = true;
    if (QFile::exists(newer)) {
        ok = QFile::remove(updater) && QFile::rename(newer, updater);
    }
    ok = ok && state.services.shell->startProgram(updater, {}, folder.path());
    if (!ok) {
        tell(state, QStringLiteral("Error updating Trovix.  Close all programs and try again!"),
             QStringLiteral("Patchlet"), platform::MessageIcon::None);
        return;
    }
    if (state.closeWindow) {
        state.closeWindow();
    }
}

}  // namespace trovix::links
