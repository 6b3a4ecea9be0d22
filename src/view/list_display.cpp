#include "view/list_display.h"

#include "app/main_state.h"
#include "store/listing.h"

namespace trovix::view {

void toggleDisplayFileNames(app::MainState& state) {
    const bool show = !state.displayFileNames();
    state.options.setChecked(app::Option::DisplayFileNames, show);
    for (store::SlotId id : store::kAllSlots) {
        store::FileSlot& slot = state.slot(id);
        if (show) {
            slot.list.insertHeaderRow(store::headerRowText(slot.fileName));
        } else if (slot.list.count() > 0) {
            slot.list.removeRow(0);
        }
    }
}

}  // namespace trovix::view
