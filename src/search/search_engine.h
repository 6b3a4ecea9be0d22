#pragma once

#include "lists/listing.h"
#include "lists/slot.h"
#include "search/matcher.h"

namespace trovix::search {

// Fills a slot's list with the records that hold every term `matcher` looks for, in file order
// and in the lists' row layout: the no-match row when none does, the header row on top while
// file names are shown. Keeps what it found for narrowing the next search. Returns whether a
// record was found; a search that runs out of memory throws, leaving the list empty.
bool listMatches(lists::FileSlot& slot, const TermMatcher& matcher,
                 const lists::ListingOptions& options);

}  // namespace trovix::search
