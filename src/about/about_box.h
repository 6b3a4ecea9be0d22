#pragma once

#include <QString>

#include "state/geometry.h"

namespace trovix::about {

// The About window's caption: the credit line (what Trovix does, its copyright and licence), four
// blanks, "Version: " and the version.
QString aboutCaption();

// Where an About window of this size (twips) stands: centred on the main window, even where
// that puts part of it off the screen.
TwipRect aboutPlacement(const TwipRect& mainWindow, double width, double height);

}  // namespace trovix::about
