#include "search/narrowing.h"

#include <algorithm>

namespace trovix::search {

std::shared_ptr<const std::vector<qint32>> findMatches(const store::RecordArray& records,
                                                       const TermMatcher& matcher,
                                                       lists::RecentFinds& recent) {
    const std::uint64_t stamp = records.changeStamp();
    std::erase_if(recent,
                  [stamp](const lists::FoundRecords& f) { return f.recordsStamp != stamp; });

    // Of the earlier searches that found every record this one can, the one that found fewest.
    auto best = recent.end();
    for (auto f = recent.begin(); f != recent.end(); ++f) {
        if (matcher.narrows(f->terms, f->ignoreCase) &&
            (best == recent.end() || f->records->size() < best->records->size())) {
            best = f;
        }
    }

    lists::FoundRecords found{matcher.terms(), matcher.ignoresCase(), stamp, nullptr};
    if (best == recent.end()) {
        found.records =
            std::make_shared<const std::vector<qint32>>(matchingRecords(records, matcher));
    } else if (termsNarrow(best->terms, matcher.terms())) {
        // The same search again, as when a letter typed is taken back: the same records.
        found.records = best->records;
    } else {
        // Every record found holds the earlier terms, and so each term that lies within one.
        found.records = std::make_shared<const std::vector<qint32>>(
            matchingAmong(records, matcher.without(best->terms), *best->records));
    }

    // The newest first, in place of an earlier search with the same terms.
    std::erase_if(recent, [&](const lists::FoundRecords& f) {
        return f.ignoreCase == found.ignoreCase && termsNarrow(f.terms, found.terms) &&
               termsNarrow(found.terms, f.terms);
    });
    recent.insert(recent.begin(), std::move(found));
    std::size_t kept = 0;
    std::size_t indices = 0;
    while (kept < recent.size() && kept < kMostKeptSearches &&
           (kept == 0 || indices + recent[kept].records->size() <= kMostKeptIndices)) {
        indices += recent[kept].records->size();
        ++kept;
    }
    recent.resize(kept);
    return recent.front().records;
}

}  // namespace trovix::search
