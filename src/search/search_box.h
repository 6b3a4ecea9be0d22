#pragma once

#include <QString>
#include <span>

namespace trovix {
class SearchBox;
}  // namespace trovix

namespace trovix::search {

// Fills the search box's drop-down list from the history, newest first.
void loadSearchTermList(SearchBox& searchBox, std::span<const QString> history);

}  // namespace trovix::search
