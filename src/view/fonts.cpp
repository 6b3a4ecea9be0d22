#include "view/fonts.h"

#include "state/controls.h"

namespace trovix::view {

void setFonts(WindowFrame& frame) {
    // The font lives in the window frame; writing it there is what shows it.
    frame.setFont(frame.font());
}

}  // namespace trovix::view
