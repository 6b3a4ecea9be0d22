#pragma once

#include <optional>

namespace trovix::view {

// Mouse buttons as the splitter bar's events give them: a mask, 1 for the left button.
inline constexpr int kLeftButton = 1;

// The mouse moved over the splitter bar, or anywhere while the left button pressed on it is
// held; `y` is the pointer's position below the bar's top, in twips. With the left button alone
// the bar follows: its top stays at least 3000 twips below the window's top edge and, as far as
// that allows, 3000 twips above its bottom edge. Returns the Gap of the bar's new place, or
// nothing when the bar stays. `barTop` is where the bar's top is now and `windowHeight` the
// window's outer height, in twips.
std::optional<int> splitterGap(int buttons, double y, double barTop, double windowHeight);

}  // namespace trovix::view
