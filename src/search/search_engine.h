#pragma once

#include "lists/slot.h"

namespace trovix {
struct MainState;
}

namespace trovix::search {

// Fills the three result lists with the records of each file that contain every term of the
// search box text, selects the first match (which shows it in the edit box) and refreshes the
// status bar. The text must not be blank: a blank search is no search, which callers skip.
void search(MainState& state);

// Fills one slot's list again with the matches of the search it shows, as that search found
// them (its text and case rule), after its records changed. Nothing is selected.
void listMatchesAgain(MainState& state, lists::SlotId id);

}  // namespace trovix::search
