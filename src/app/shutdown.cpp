#include "app/shutdown.h"

#include "app/settings.h"
#include "records/slot_procedures.h"
#include "state/main_state.h"

namespace trovix::app {
namespace {

// Saves every changed slot in the order A, B, C; stops at the first file that fails.
bool saveChangedSlots(MainState& state) {
    for (store::SlotId id : store::kAllSlots) {
        store::FileSlot& slot = state.slot(id);
        if (slot.changed) {
            if (!records::saveFile(state, id)) {
                return false;
            }
            slot.changed = false;
        }
    }
    return true;
}

}  // namespace

bool queryClose(MainState& state) {
    bool anyChanged = false;
    for (const store::FileSlot& slot : state.fileSlots) {
        anyChanged = anyChanged || slot.changed;
    }
    if (!anyChanged) {
        return true;
    }
    if (state.options.isChecked(Option::AutoSave)) {
        return saveChangedSlots(state);
    }
    if (state.services.messages == nullptr) {
        return false;
    }
    switch (state.services.messages->show(
        QStringLiteral("Save Changes?"), QStringLiteral("Save Changes"),
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
    settings(state, QStringLiteral("save"));
}

}  // namespace trovix::app
