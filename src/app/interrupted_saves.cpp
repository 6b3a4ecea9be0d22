#include "app/interrupted_saves.h"

#include <QCoreApplication>
#include <QDir>

namespace trovix::app {
namespace {

QString describe(const platform::InterruptedSave& save) {
    using Outcome = platform::InterruptedSave::Outcome;
    const QString file = QDir::toNativeSeparators(save.file);
    switch (save.outcome) {
        case Outcome::Restored:
            return QCoreApplication::translate(
                       "InterruptedSaves",
                       "A save of \"%1\" was cut short: Trovix or the system stopped while the "
                       "file was being written.\n\nThe file was left part old and part new, so "
                       "its content from before that save has been put back and checked. The "
                       "changes that save was writing are not in it.")
                .arg(file);
        case Outcome::NotRestored:
            return QCoreApplication::translate(
                       "InterruptedSaves",
                       "A save of \"%1\" was cut short: Trovix or the system stopped while the "
                       "file was being written.\n\nThe file was left part old and part new, and "
                       "its content from before that save could not be put back:\n%2\n\nThat "
                       "content is kept in \"%3\". Trovix tries again at its next start.")
                .arg(file, save.detail, QDir::toNativeSeparators(save.copy));
        case Outcome::SetUndone:
            return QCoreApplication::translate(
                       "InterruptedSaves",
                       "A restore or backup of several files was cut short: Trovix or the system "
                       "stopped while the files were being replaced. So that the files stay as "
                       "they were together, the content \"%1\" had before has been put back.")
                .arg(file);
        case Outcome::ReplacedMeanwhile:
            return QCoreApplication::translate(
                       "InterruptedSaves",
                       "A save of \"%1\" was cut short: Trovix or the system stopped while the "
                       "file was being written.\n\nThe file has been replaced or removed since, "
                       "so it was left as it is. Its content from before that save is kept in "
                       "\"%2\".")
                .arg(file, QDir::toNativeSeparators(save.detail));
    }
    return QCoreApplication::translate("InterruptedSaves",
                                       "A save of \"%1\" was cut short: Trovix or the system "
                                       "stopped while the file was being written.")
        .arg(file);
}

}  // namespace

void tellOfInterruptedSaves(platform::MessageBoxes& messages,
                            const QList<platform::InterruptedSave>& saves) {
    for (const platform::InterruptedSave& save : saves) {
        messages.show(describe(save),
                      QCoreApplication::translate("InterruptedSaves", "Interrupted Save"),
                      platform::MessageButtons::Ok, platform::MessageIcon::Warning);
    }
}

}  // namespace trovix::app
