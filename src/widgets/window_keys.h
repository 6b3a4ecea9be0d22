#pragma once

class QKeyEvent;

namespace trovix::widgets {

// Whether a key is a shortcut of the window's menus that a text box must let through. The text
// boxes keep Ctrl+V and Ctrl+A (and Ctrl+C, Ctrl+X, Ctrl+Z, which no menu uses) for pasting,
// selecting all, copying, cutting and undoing; every other menu shortcut works from everywhere,
// where a line edit would take Ctrl+E or Ctrl+U for moving the cursor or erasing the text.
bool isWindowShortcut(const QKeyEvent& key);

}  // namespace trovix::widgets
