#include "search/search_engine.h"

#include "search/narrowing.h"

namespace trovix::search {

bool listMatches(lists::FileSlot& slot, const TermMatcher& matcher,
                 const lists::ListingOptions& options) {
    const lists::ResultList::Update update(slot.list);
    slot.list.clear();
    bool found = false;
    {
        const auto matches = findMatches(slot.records, matcher, slot.recentFinds);
        lists::appendRecordsRows(slot.list, slot.records, *matches, options.fullDataView);
        found = !matches->empty();
    }
    if (!found) {
        slot.list.addNoMatchRow();
    }
    if (options.displayFileNames) {
        slot.list.insertHeaderRow(lists::headerRowText(slot.fileName));
    }
    return found;
}

}  // namespace trovix::search
