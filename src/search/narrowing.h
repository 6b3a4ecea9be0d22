#pragma once

#include <memory>
#include <vector>

#include "lists/recent_finds.h"
#include "search/matcher.h"
#include "store/record_array.h"

namespace trovix::search {

// The searches a slot keeps: at most this many, and no more record indices than
// kMostKeptIndices in all (the newest is always kept).
inline constexpr std::size_t kMostKeptSearches = 16;
inline constexpr std::size_t kMostKeptIndices = std::size_t{16} << 20;

// The records that match, as matchingRecords() finds them, but looked for only among what an
// earlier search of `recent` found when that search finds every record this one can: the
// same letter case rule, each earlier term within a term of this one, and the records
// unchanged since. The search joins `recent` as its newest entry.
std::shared_ptr<const std::vector<qint32>> findMatches(const store::RecordArray& records,
                                                       const TermMatcher& matcher,
                                                       lists::RecentFinds& recent);

}  // namespace trovix::search
