#include "app/event_handlers.h"

#include "app/list_commands.h"
#include "app/search_commands.h"
#include "app/shutdown.h"
#include "records/record_display.h"
#include "records/record_editing.h"
#include "search/search_box.h"
#include "state/main_state.h"
#include "view/layout.h"
#include "view/splitter.h"

namespace trovix::app {

void connectEventHandlers(MainState& state) {
    // Connected directly: each handler runs inside the write that raised it.
    for (lists::SlotId id : lists::kAllSlots) {
        lists::ResultList& list = state.slot(id).list;
        QObject::connect(&list, &lists::ResultList::clicked, &list, [&state, id] {
            state.edits.endTyping();  // the user left the record
            listClick(state, id);
        });
        QObject::connect(&list, &lists::ResultList::mouseDown, &list,
                         [&state, id] { listMouseDown(state, id); });
    }
    QObject::connect(&state.frame, &WindowFrame::resized, &state.frame, [&state] {
        view::formResize(state.frame, state.toolbar, state.gap, state.busy);
    });
    QObject::connect(&state.editBox, &EditBox::changed, &state.editBox, [&state] {
        if (!state.busy) {
            records::editBoxChanged(state.editBox, state.edits, state.fileSlots,
                                    state.listWithFocus, state.displayFileNames());
        }
    });
    QObject::connect(&state.searchBox, &SearchBox::changed, &state.searchBox,
                     [&state] { searchBoxChanged(state); });
    QObject::connect(&state.searchBox, &SearchBox::clicked, &state.searchBox,
                     [&state] { searchBoxClicked(state); });
    QObject::connect(&state.searchBox, &SearchBox::keyPressed, &state.searchBox,
                     [&state](QChar key) { searchBoxKeyPress(state, key); });
}

void windowShown(MainState& state) {
    if (!state.activatedOnce) {
        formActivate(state);
    }
}

void formActivate(MainState& state) {
    state.activatedOnce = true;
    setListDisplay(state);
}

void splitterMoved(MainState& state, int buttons, double y) {
    const std::optional<int> gap = view::splitterGap(
        buttons, y, state.frame.geometry().picture1.top, state.frame.layoutHeight());
    if (gap) {
        state.gap = *gap;
        view::formResize(state.frame, state.toolbar, state.gap, state.busy);
    }
}

bool closeRequested(MainState& state) {
    if (!queryClose(state)) {
        return false;
    }
    // Whatever is still unsaved, the user chose not to save it.
    if (state.unsavedEdits != nullptr) {
        state.unsavedEdits->forgetAll();
    }
    unload(state);
    return true;
}

}  // namespace trovix::app
