#pragma once

class QKeyEvent;

namespace trovix::widgets {

// Whether a key is a shortcut of the window's menus that a text box must let through. The text
// boxes keep Ctrl+V and Ctrl+A (and Ctrl+C, Ctrl+X, which no menu uses) for pasting, selecting
// all, copying and cutting; every other menu shortcut works from everywhere, where a line edit
// would take Ctrl+E or Ctrl+U for moving the cursor or erasing the text, and Ctrl+Z for an undo
// of its own beside the window's one history.
bool isWindowShortcut(const QKeyEvent& key);

}  // namespace trovix::widgets
