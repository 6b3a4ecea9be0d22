#include "view/splitter.h"

#include <cmath>

#include "state/main_state.h"
#include "view/layout.h"

namespace trovix::view {

void splitterMouseMove(MainState& state, int buttons, double y) {
    if (buttons != kLeftButton) {
        return;
    }
    const double height = state.frame.layoutHeight();
    const double top = state.frame.geometry().picture1.top;
    // Single precision, as the bar's measures are.
    if (static_cast<float>(top + y) > height - 3000) {
        y = height - 3000 - top;
    }
    if (static_cast<float>(top + y) < 3000) {
        y = 3000 - top;
    }
    state.gap = static_cast<int>(std::lround(height - (top + y)));
    formResize(state);
}

}  // namespace trovix::view
