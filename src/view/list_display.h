#pragma once

namespace trovix::app {
struct MainState;
}

namespace trovix::view {

// Shows the lists whose toolbar buttons are pressed, makes the first shown list the list with
// focus when none has it, colours it, selects its first record and shows it, refreshes the
// status bar and lays the window out.
void setListDisplay(app::MainState& state);

// "Display File Names" ticked or unticked: adds or removes the file-name header row on top of
// all three lists, shown or hidden alike. An empty list has no header row to remove.
void toggleDisplayFileNames(app::MainState& state);

// "Ignore Case" and "Search While Typing" only change their check marks.
void toggleIgnoreCase(app::MainState& state);
void toggleSearchWhileTyping(app::MainState& state);

}  // namespace trovix::view
