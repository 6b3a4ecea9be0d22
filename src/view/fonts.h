#pragma once

namespace trovix::app {
struct MainState;
}

namespace trovix::view {

// Applies the chosen font to the three lists and the edit box (the view renders it).
void setFonts(app::MainState& state);

// Shows the font dialog; a confirmed font becomes the list font, and the status bar shows its
// face and size ("Courier New  10 pt"). Sizes are whole points, halves rounded to even; bold
// follows the face's weight, and a face that gives no reliable weight leaves bold as it was.
void selectFont(app::MainState& state);

}  // namespace trovix::view
