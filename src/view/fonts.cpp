#include "view/fonts.h"

#include "state/main_state.h"

namespace trovix::view {

void setFonts(MainState& state) {
    // The font lives in the window frame; writing it there is what shows it.
    state.frame.setFont(state.frame.font());
}

}  // namespace trovix::view
