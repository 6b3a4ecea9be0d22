#pragma once

#include <QChar>
#include <QString>
#include <span>

namespace trovix {
struct MainState;
class SearchBox;
}  // namespace trovix

namespace trovix::search {

// Fills the search box's drop-down list from the history, newest first.
void loadSearchTermList(SearchBox& searchBox, std::span<const QString> history);

// The search box text changed: searches at once while "Search While Typing" is ticked.
void searchBoxChanged(MainState& state);

// A drop-down entry was chosen: searches for it and selects the whole text.
void searchBoxClicked(MainState& state);

// A key pressed in the search box. Enter searches and remembers a new text in the history; a
// text beginning with ".." is a command instead ("..x" closes the window).
void searchBoxKeyPress(MainState& state, QChar key);

}  // namespace trovix::search
