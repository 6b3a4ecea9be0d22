#pragma once

namespace trovix {
struct MainState;
}

namespace trovix::view {

// Mouse buttons as the splitter bar's events give them: a mask, 1 for the left button.
inline constexpr int kLeftButton = 1;

// The mouse moved over the splitter bar, or anywhere while the left button pressed on it is
// held; `y` is the pointer's position below the bar's top, in twips. With the left button alone
// the bar follows: its top stays at least 3000 twips below the window's top edge and, as far as
// that allows, 3000 twips above its bottom edge. Gap takes the new place and the window is laid
// out again.
void splitterMouseMove(MainState& state, int buttons, double y);

}  // namespace trovix::view
