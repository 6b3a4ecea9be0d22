#pragma once

namespace trovix {
struct MainState;
}

namespace trovix::app {

// A request to close the window. Unsaved changes are saved (AutoSave) or the user is asked
// "Save Changes?". Returns false to keep the window open: the user cancelled, or a file could
// not be saved, in which case the user has been told which and why and every change is kept.
bool queryClose(MainState& state);

// The window is really closing: stores every setting.
void unload(MainState& state);

}  // namespace trovix::app
