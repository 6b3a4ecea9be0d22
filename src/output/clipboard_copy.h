#pragma once

namespace trovix {
struct MainState;
}

namespace trovix::output {

// "Copy List to ClipBoard": every row of the list with focus, as the list shows it, one a line
// with the platform's line break between rows and none after the last. The clipboard is
// emptied first, and stays empty with no list with focus.
void copyList(MainState& state);

// "Copy Selection to Clipboard": the selected row's text (empty when none is selected).
void copySelection(MainState& state);

}  // namespace trovix::output
