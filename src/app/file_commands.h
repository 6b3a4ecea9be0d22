#pragma once

namespace trovix {
struct MainState;
}

namespace trovix::app {

// The commands on the data file of the list with focus; with no list in focus they do nothing
// (but "refresh", which still refreshes the status bar).

// "select": the open-file dialog, titled for the slot ("Select Text Data FileA" ...), in the
// program's folder; a chosen name (which need not exist) becomes the slot's file and is read.
// A name no file can be opened or saved by as it is shown (its bytes are not valid UTF-8) is
// refused with a message, and the slot keeps its file.
// The file buttons' tool tips are set again, also when nothing was chosen.
void selectFile(MainState& state);

// "save": writes the slot's file, changed or not, and clears its changed flag; a failure is
// reported with the file and the reason, and the flag stays.
void saveSelectedFile(MainState& state);

// "open": starts the user's text editor on the slot's file without waiting for it; the name
// goes even when no such file exists yet. A failure to start any editor is reported.
void openSelectedFile(MainState& state);

// "refresh": reads the slot's file again and selects its first record row (none when the list
// has no such row), then refreshes the status bar. Unsaved edits of the slot are dropped; its
// changed flag stays.
void reloadSelectedFile(MainState& state);

}  // namespace trovix::app
