#pragma once

namespace trovix {
struct MainState;
}

namespace trovix::view {

// Applies the chosen font to the three lists and the edit box (the view renders it).
void setFonts(MainState& state);

}  // namespace trovix::view
