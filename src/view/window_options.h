#pragma once

namespace trovix::app {
struct MainState;
}

namespace trovix::view {

// The tool tips of the buttons that show the three lists name the slots' data files, without
// their folders.
void setToolTipText(app::MainState& state);

// Keeps the window above all others, or not, as "On top" is ticked; never moves or resizes it.
void setOnTop(app::MainState& state);
void toggleOnTop(app::MainState& state);

}  // namespace trovix::view
