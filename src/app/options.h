#pragma once

#include "state/command_table.h"

namespace trovix {
struct MainState;
}

namespace trovix::app {

// A check item of the Options menu was clicked: its check mark flips. "Display File Names"
// also adds or removes the file-name header row on top of all three lists, shown or hidden
// alike (an empty list has no header row to remove), and "On top" applies itself at once; the
// others only change their check marks until the search or the close reads them.
void optionMenuClick(MainState& state, Option option);

}  // namespace trovix::app
