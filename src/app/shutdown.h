#pragma once

#include <QStringList>

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

// The system ends the program (SIGTERM or SIGHUP, a logout that allows no questions): the close
// runs without asking anything. With AutoSave, every changed file is saved; without it, the
// changes stay unsaved, as nobody can be asked. A file that another program changed since it
// was read is not saved over. Then the settings are stored. Returns, a line each, what was not
// saved and what failed, as there is no window left to tell it in.
QStringList closeWithoutAsking(MainState& state);

}  // namespace trovix::app
