#include "search/search_box.h"

#include "state/controls.h"
#include "state/text.h"

namespace trovix::search {

void loadSearchTermList(SearchBox& searchBox, std::span<const QString> history) {
    QStringList entries;
    for (const QString& entry : history) {
        if (!trimSpaces(entry).isEmpty()) {
            entries.append(entry);
        }
    }
    searchBox.setEntries(entries);
}

}  // namespace trovix::search
