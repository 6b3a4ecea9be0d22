#include "view/list_display.h"

#include "records/record_display.h"
#include "search/status_summary.h"
#include "state/main_state.h"
#include "view/layout.h"

namespace trovix::view {

void setListDisplay(MainState& state) {
    for (lists::SlotId id : lists::kAllSlots) {
        state.slot(id).list.setVisible(state.toolbar.isPressed(fileButton(id)));
    }
    if (!state.listWithFocus) {
        for (lists::SlotId id : lists::kAllSlots) {
            if (state.toolbar.isPressed(fileButton(id))) {
                state.listWithFocus = id;
                break;
            }
        }
    }
    const std::optional<lists::SlotId> focus = state.listWithFocus;
    if (focus) {
        records::colourListWithFocus(state.fileSlots, *focus);
    }
    {
        const BusySection busy(state);
        const int firstRecordRow = state.displayFileNames() ? 1 : 0;
        for (lists::SlotId id : lists::kAllSlots) {
            lists::ResultList& list = state.slot(id).list;
            // A list too short for its first record row keeps no selection.
            list.setListIndex(id == focus && list.count() > firstRecordRow ? firstRecordRow : -1);
        }
    }
    if (focus) {
        records::listClick(state, *focus);
    }
    search::fillStatusBar(state.statusBar, state.fileSlots);
    formResize(state.frame, state.toolbar, state.gap, state.busy);
}

}  // namespace trovix::view
