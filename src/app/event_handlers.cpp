#include "app/event_handlers.h"

#include "records/record_display.h"
#include "records/record_editing.h"
#include "search/search_box.h"
#include "state/main_state.h"
#include "view/layout.h"

namespace trovix::app {

void connectEventHandlers(MainState& state) {
    for (lists::SlotId id : lists::kAllSlots) {
        const int n = static_cast<int>(id) + 1;
        lists::ResultList& list = state.slot(id).list;
        list.setClickHandler([&state, n] {
            state.edits.endTyping();  // the user left the record
            records::listClick(state, n);
        });
        list.setMouseDownHandler([&state, n] { records::listMouseDown(state, n); });
    }
    state.frame.setResizeHandler([&state] { view::formResize(state); });
    state.editBox.setChangeHandler([&state] { records::editBoxChanged(state); });
    state.searchBox.setChangeHandler([&state] { search::searchBoxChanged(state); });
    state.searchBox.setClickHandler([&state] { search::searchBoxClicked(state); });
    state.searchBox.setKeyPressHandler(
        [&state](QChar key) { search::searchBoxKeyPress(state, key); });
}

}  // namespace trovix::app
