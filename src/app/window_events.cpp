#include "app/window_events.h"

#include "app/shutdown.h"
#include "state/main_state.h"
#include "view/list_display.h"

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

bool closeRequested(MainState& state) {
    if (!queryClose(state)) {
        return false;
    }
    unload(state);
    return true;
}

}  // namespace trovix::app
