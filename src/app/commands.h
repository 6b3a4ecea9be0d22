#pragma once

#include "state/command_table.h"

namespace trovix {
struct MainState;
class Toolbar;
}  // namespace trovix

namespace trovix::app {

// The user clicked a toolbar button: a two-state button changes its pressed state, then the
// button's command runs.
void toolbarButtonPressed(MainState& state, Command command);

// Runs a toolbar button's command. A two-state button has already changed its pressed state.
void toolbarButtonClick(MainState& state, Command command);

// New, Delete and Sort are enabled only outside full data view.
void enableRecordCommands(Toolbar& toolbar, bool fullDataView);

// Full data view switched on or off with the "data" button.
void switchFullDataView(MainState& state);

// Shows the font dialog; a confirmed font becomes the list font, and the status bar shows its
// face and size ("Courier New  10 pt"). Sizes are whole points, halves rounded to even; bold
// follows the face's weight, and a face that gives no reliable weight leaves bold as it was.
void selectFont(MainState& state);

// A command of the menu bar.
void menuCommand(MainState& state, MenuCommand command);

// A check item of the Options menu was clicked: its check mark flips. "Display File Names"
// also adds or removes the file-name header row on top of all three lists, shown or hidden
// alike (an empty list has no header row to remove), and "On top" applies itself at once; the
// others only change their check marks until the search or the close reads them.
void optionMenuClick(MainState& state, Option option);

}  // namespace trovix::app
