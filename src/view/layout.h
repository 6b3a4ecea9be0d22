#pragma once

#include <array>

#include "state/defaults.h"
#include "state/geometry.h"

namespace trovix {
class Toolbar;
class WindowFrame;
}  // namespace trovix

namespace trovix::view {

struct LayoutInput {
    double width = 0;       // the window's outer width, twips
    double height = 0;      // the window's outer height, twips
    int gap = kDefaultGap;  // from the window's bottom edge up to the splitter bar
    bool editPaneShown = true;
    std::array<bool, 3> listShown{true, true, true};
};

// The smallest distance of the splitter bar from the window's bottom edge that still leaves
// the edit box a line of height: the edit frame is Gap - 1300 high and the box 330 less.
inline constexpr int kMinimumGap = 1630 + 300;

// Lays the window out: the splitter bar at Gap from the bottom (Gap clamped so the bar stays
// 3000 twips below the top, and raised to kMinimumGap), the edit pane below it, the results
// frame above it, and the shown lists stacked in the results frame. Controls that are not
// laid out keep their geometry. Returns the Gap used.
int computeLayout(const LayoutInput& input, ControlGeometry& geometry);

// The window was resized, or the program asks for a new layout: lays the window's controls out
// from its size, Gap and the toolbar's buttons, and keeps the Gap used. Nothing happens while
// the window is minimised or the program is busy.
void formResize(WindowFrame& frame, const Toolbar& toolbar, int& gap, bool busy);

}  // namespace trovix::view
