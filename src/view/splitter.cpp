#include "view/splitter.h"

#include <cmath>

namespace trovix::view {

std::optional<int> splitterGap(int buttons, double y, double barTop, double windowHeight) {
    if (buttons != kLeftButton) {
        return std::nullopt;
    }
    // Single precision, as the bar's measures are.
    if (static_cast<float>(barTop + y) > windowHeight - 3000) {
        y = windowHeight - 3000 - barTop;
    }
    if (static_cast<float>(barTop + y) < 3000) {
        y = 3000 - barTop;
    }
    return static_cast<int>(std::lround(windowHeight - (barTop + y)));
}

}  // namespace trovix::view
