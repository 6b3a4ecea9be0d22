#pragma once

namespace trovix {
struct MainState;
}

namespace trovix::app {

// Connects the controls' events to the procedures that answer them: list clicks and
// mouse-downs, edit box changes and the search box's change, click and key press.
void connectEventHandlers(MainState& state);

}  // namespace trovix::app
