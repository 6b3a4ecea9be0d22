#pragma once

namespace trovix {
struct MainState;
}

namespace trovix::app {

// Connects the controls' events to the procedures that answer them: list clicks and
// mouse-downs, edit box changes and the search box's change, click and key press.
void connectEventHandlers(MainState& state);

// The window is shown. Its first showing activates it.
void windowShown(MainState& state);

// The window becomes the program's active window: when it is first shown, and when another of
// the program's own windows (the About window) closes. Switching to another application and
// back, or closing a message box or a system dialog, is no activation: the record the user was
// editing stays selected. Applies the list display again.
void formActivate(MainState& state);

// The splitter bar was dragged (see view::splitterGap): Gap takes the bar's new place and the
// window is laid out again.
void splitterMoved(MainState& state, int buttons, double y);

// The user (or the program) asks to close the window. Unsaved changes are saved or asked
// about; when the window may close, the settings are stored and true is returned.
bool closeRequested(MainState& state);

}  // namespace trovix::app
