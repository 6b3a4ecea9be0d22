#pragma once

#include <QChar>

#include "lists/slot.h"

namespace trovix {
struct MainState;
}

// The search box's commands and the search they run.
namespace trovix::app {

// Fills the three result lists with the records of each file that contain every term of the
// search box text, selects the first match (which shows it in the edit box) and refreshes the
// status bar. The text must not be blank: a blank search is no search, which callers skip.
void search(MainState& state);

// Fills one slot's list again with the matches of the search it shows, as that search found
// them (its text and case rule), after its records changed. Nothing is selected.
void listMatchesAgain(MainState& state, lists::SlotId id);

// The search box text changed: searches at once while "Search While Typing" is ticked.
void searchBoxChanged(MainState& state);
// A drop-down entry was chosen: searches for it and selects the whole text.
void searchBoxClicked(MainState& state);
// A key pressed in the search box. Enter searches and remembers a new text in the history; a
// text beginning with ".." is a command instead ("..x" closes the window).
void searchBoxKeyPress(MainState& state, QChar key);

}  // namespace trovix::app
