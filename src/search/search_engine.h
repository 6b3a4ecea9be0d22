#pragma once

namespace trovix {
struct MainState;
}

namespace trovix::search {

// Fills the three result lists with the records of each file that contain every term of the
// search box text, selects the first match (which shows it in the edit box) and refreshes the
// status bar. The text must not be blank: a blank search is no search, which callers skip.
void search(MainState& state);

}  // namespace trovix::search
