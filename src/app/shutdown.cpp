#include "app/shutdown.h"

#include <QCoreApplication>
#include <QScopeGuard>
#include <utility>

#include "app/file_merge.h"
#include "app/settings.h"
#include "records/slot_procedures.h"
#include "state/main_state.h"

namespace trovix::app {
namespace {

// Saves every changed slot in the order A, B, C. A file that cannot be saved is named with the
// reason, and the user chooses between closing without it and keeping the window open with
// every unsaved change; keeping it open, or declining to overwrite another program's change,
// stops the close.
bool saveChangedSlots(MainState& state) {
    for (lists::SlotId id : lists::kAllSlots) {
        lists::FileSlot& slot = state.slot(id);
        if (!slot.changed) {
            continue;
        }
        const platform::Result<void, records::NotSaved> saved =
            records::writeSlot(state.files(), id);
        if (saved) {
            slot.changed = false;
            state.edits.markSaved(id);
            continue;
        }
        if (saved.failure().declined) {
            if (saved.failure().mergeWanted) {
                mergeChangedSlot(state, id);  // the window stays open to show what was merged
            }
            return false;
        }
        const bool closeAnyway =
            state.services.messages->choose(
                QCoreApplication::translate("Shutdown",
                                            "%1\n\nClose without saving the changes to this "
                                            "file, or keep the window open with them?")
                    .arg(records::saveFailureText(slot.fileName, saved.error())),
                QCoreApplication::translate("Shutdown", "Save Changes"),
                {QCoreApplication::translate("Shutdown", "Close Without Saving"),
                 QCoreApplication::translate("Shutdown", "Keep the Window Open")},
                platform::MessageIcon::Warning) == 0;
        if (!closeAnyway) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool queryClose(MainState& state) {
    bool anyChanged = false;
    for (const lists::FileSlot& slot : state.fileSlots) {
        anyChanged = anyChanged || slot.changed;
    }
    if (!anyChanged) {
        return true;
    }
    if (state.options.isChecked(Option::AutoSave)) {
        return saveChangedSlots(state);
    }
    QStringList changed;  // named under the question
    for (const lists::FileSlot& slot : state.fileSlots) {
        const QString name = slot.fileName.section(u'/', -1);
        if (slot.changed && !changed.contains(name)) {
            changed << name;
        }
    }
    //: Put between the names of the changed files.
    const QString separator = QCoreApplication::translate("Shutdown", ", ");
    switch (state.services.messages->showDetailed(
        QCoreApplication::translate("Shutdown", "Save Changes?"),
        QCoreApplication::translate("Shutdown", "Changed files: %1").arg(changed.join(separator)),
        QCoreApplication::translate("Shutdown", "Save Changes"),
        platform::MessageButtons::YesNoCancel, platform::MessageIcon::None)) {
        case platform::MessageAnswer::Yes:
            return saveChangedSlots(state);
        case platform::MessageAnswer::No:
            return true;
        default:
            return false;
    }
}

void unload(MainState& state) {
    settings(state, SettingsTask::Write);
}

QStringList closeWithoutAsking(MainState& state) {
    // Nobody answers now: every question gets its way out, and what would have been shown is
    // kept for the caller.
    class NobodyThere : public platform::MessageBoxes {
      public:
        QStringList told;
        platform::MessageAnswer show(const QString& text, const QString&,
                                     platform::MessageButtons buttons,
                                     platform::MessageIcon) override {
            if (buttons == platform::MessageButtons::Ok) {
                told << text;
                return platform::MessageAnswer::Ok;
            }
            return buttons == platform::MessageButtons::YesNo ? platform::MessageAnswer::No
                                                              : platform::MessageAnswer::Cancel;
        }
        QStringList asked;
        int choose(const QString& text, const QString&, const QStringList& choices,
                   platform::MessageIcon) override {
            asked << text;
            return static_cast<int>(choices.size()) - 1;
        }
    } nobody;
    const platform::Service<platform::MessageBoxes> messages =
        std::exchange(state.services.messages, nobody);
    const auto restoreMessages = qScopeGuard([&] { state.services.messages = messages; });

    const bool autoSave = state.options.isChecked(Option::AutoSave);
    std::array<QString, 3> notSaved;  // for each slot left unsaved, why
    for (lists::SlotId id : lists::kAllSlots) {
        lists::FileSlot& slot = state.slot(id);
        QString& why = notSaved[static_cast<std::size_t>(id)];
        if (!slot.changed) {
            continue;
        }
        if (!autoSave) {
            why = QCoreApplication::translate(
                      "Shutdown", "The changes to \"%1\" were not saved: AutoSave is off.")
                      .arg(slot.fileName);
            continue;
        }
        const qsizetype asked = nobody.asked.size();
        const platform::Result<void, records::NotSaved> saved =
            records::writeSlot(state.files(), id);
        if (saved) {
            slot.changed = false;
            state.edits.markSaved(id);
        } else if (saved.failure().declined) {
            why = QCoreApplication::translate(
                      "Shutdown",
                      "The changes to \"%1\" were not saved: nobody could be asked \"%2\"")
                      .arg(slot.fileName, nobody.asked.value(asked).section(u'\n', 0, 0));
        } else {
            why = records::saveFailureText(slot.fileName, saved.error());
        }
    }
    // What is left unsaved is kept for the next start, which offers it back; the notes say
    // whether that was done.
    const std::array<QString, 3> notKept =
        state.unsavedEdits != nullptr ? state.unsavedEdits->keepNow() : std::array<QString, 3>{};
    QStringList notes;
    for (std::size_t n = 0; n < notSaved.size(); ++n) {
        if (notSaved[n].isEmpty()) {
            continue;
        }
        if (state.unsavedEdits == nullptr) {
            notes << notSaved[n];
        } else if (notKept[n].isEmpty()) {
            notes << QCoreApplication::translate("Shutdown", "%1 The next start offers them back.")
                         .arg(notSaved[n]);
        } else {
            notes << QCoreApplication::translate("Shutdown",
                                                 "%1 They could not be kept for the next start "
                                                 "either (%2), so they are lost.")
                         .arg(notSaved[n], notKept[n]);
        }
    }
    unload(state);
    return notes + nobody.told;
}

}  // namespace trovix::app
