#pragma once

#include <array>

namespace trovix::app {
struct MainState;
}

namespace trovix::view {

// A control's place in twips: relative to the window for the frames and the splitter bar,
// relative to its frame for the controls inside one.
struct TwipRect {
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;
    friend bool operator==(const TwipRect&, const TwipRect&) = default;
};

// Where the window's laid-out controls are.
struct ControlGeometry {
    TwipRect frameFind{120, 480, 5175, 615};
    TwipRect lstFind{120, 240, 4935, 315};
    TwipRect frameResults{120, 1200, 5175, 4695};
    std::array<TwipRect, 3> lists{
        {{120, 240, 4935, 1245}, {120, 1560, 4935, 1440}, {120, 3120, 4935, 1440}}};
    TwipRect picture1{0, 5960, 6015, 60};
    TwipRect frameEdit{120, 6000, 5175, 1455};
    TwipRect txtEdit{120, 240, 4935, 1125};
    friend bool operator==(const ControlGeometry&, const ControlGeometry&) = default;
};

struct LayoutInput {
    double width = 0;   // the window's outer width, twips
    double height = 0;  // the window's outer height, twips
    int gap = 2700;     // from the window's bottom edge up to the splitter bar
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

// The window was resized, or the program asks for a new layout: lays the window out from the
// state's window size, Gap and toolbar buttons. Nothing happens while the window is minimised
// or the program is busy.
void formResize(app::MainState& state);

}  // namespace trovix::view
