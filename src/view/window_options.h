#pragma once

#include "lists/slot.h"

namespace trovix {
class OptionMenu;
class Toolbar;
class WindowFrame;
}  // namespace trovix

namespace trovix::view {

// The tool tips of the buttons that show the three lists name the slots' data files, without
// their folders.
void setToolTipText(Toolbar& toolbar, const lists::FileSlots& slots);

// Keeps the window above all others, or not, as "On top" is ticked; never moves or resizes it.
void setOnTop(WindowFrame& frame, const OptionMenu& options);

}  // namespace trovix::view
