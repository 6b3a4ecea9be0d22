#include "app/event_handlers.h"

#include "records/record_display.h"
#include "records/record_editing.h"
#include "search/search_box.h"
#include "state/main_state.h"
#include "view/layout.h"

namespace trovix::app {

void connectEventHandlers(MainState& state) {
    for (lists::SlotId id : lists::kAllSlots) {
        lists::ResultList& list = state.slot(id).list;
        list.setClickHandler([&state, id] {
            state.edits.endTyping();  // the user left the record
            records::listClick(state, id);
        });
        list.setMouseDownHandler([&state, id] { records::listMouseDown(state, id); });
    }
    state.frame.setResizeHandler(
        [&state] { view::formResize(state.frame, state.toolbar, state.gap, state.busy); });
    state.editBox.setChangeHandler([&state] {
        if (!state.busy) {
            records::editBoxChanged(state.editBox, state.edits, state.fileSlots,
                                    state.listWithFocus, state.displayFileNames());
        }
    });
    state.searchBox.setChangeHandler([&state] { search::searchBoxChanged(state); });
    state.searchBox.setClickHandler([&state] { search::searchBoxClicked(state); });
    state.searchBox.setKeyPressHandler(
        [&state](QChar key) { search::searchBoxKeyPress(state, key); });
}

}  // namespace trovix::app
