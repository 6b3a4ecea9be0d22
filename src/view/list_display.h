#pragma once

namespace trovix {
struct MainState;
}

namespace trovix::view {

// Shows the lists whose toolbar buttons are pressed, makes the first shown list the list with
// focus when none has it, colours it, selects its first record and shows it, refreshes the
// status bar and lays the window out.
void setListDisplay(MainState& state);

}  // namespace trovix::view
