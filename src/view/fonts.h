#pragma once

namespace trovix {
class WindowFrame;
}

namespace trovix::view {

// Applies the chosen font to the three lists and the edit box (the view renders it).
void setFonts(WindowFrame& frame);

}  // namespace trovix::view
