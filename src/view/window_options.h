#pragma once

namespace trovix {
struct MainState;
}

namespace trovix::view {

// The tool tips of the buttons that show the three lists name the slots' data files, without
// their folders.
void setToolTipText(MainState& state);

// Keeps the window above all others, or not, as "On top" is ticked; never moves or resizes it.
void setOnTop(MainState& state);

}  // namespace trovix::view
