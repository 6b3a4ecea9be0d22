#pragma once

#include <array>
#include <cmath>

namespace trovix {

// A control's place in twips: relative to the window for the frames and the splitter bar,
// relative to its frame for the controls inside one.
struct TwipRect {
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;
    friend bool operator==(const TwipRect&, const TwipRect&) = default;
};

// Where the window's laid-out controls are; they start where the window design put them.
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

// Twips to whole pixels, halves away from zero: the one rounding by which the window places
// and sizes itself and its controls. The floating-point form serves measures an int may not hold.
inline double wholePixels(double twips, double twipsPerPixel) {
    return std::round(twips / twipsPerPixel);
}
inline int pixels(double twips, double twipsPerPixel) {
    return static_cast<int>(std::lround(twips / twipsPerPixel));
}

}  // namespace trovix
