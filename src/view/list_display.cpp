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
    if (state.listWithFocus == 0) {
        for (lists::SlotId id : lists::kAllSlots) {
            if (state.toolbar.isPressed(fileButton(id))) {
                state.listWithFocus = static_cast<int>(id) + 1;
                break;
            }
        }
    }
    const int focus = state.listWithFocus;
    if (focus >= 1 && focus <= 3) {
        for (int n = 1; n <= 3; ++n) {
            state.fileSlots[static_cast<std::size_t>(n - 1)].list.setBackColor(
                n == focus ? lists::ResultList::kFocusColour : lists::ResultList::kWhite);
        }
    }
    {
        const BusySection busy(state);
        const int firstRecordRow = state.displayFileNames() ? 1 : 0;
        for (int n = 1; n <= 3; ++n) {
            lists::ResultList& list = state.fileSlots[static_cast<std::size_t>(n - 1)].list;
            // A list too short for its first record row keeps no selection.
            list.setListIndex(n == focus && list.count() > firstRecordRow ? firstRecordRow : -1);
        }
    }
    if (focus >= 1 && focus <= 3) {
        records::listClick(state, focus);
    }
    search::fillStatusBar(state);
    formResize(state);
}

}  // namespace trovix::view
