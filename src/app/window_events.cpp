#include "app/window_events.h"

#include "app/shutdown.h"
#include "state/main_state.h"
#include "view/layout.h"
#include "view/list_display.h"
#include "view/splitter.h"

namespace trovix::app {

void windowShown(MainState& state) {
    if (!state.activatedOnce) {
        formActivate(state);
    }
}

void formActivate(MainState& state) {
    state.activatedOnce = true;
    view::setListDisplay(state);
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
