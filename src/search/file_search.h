#pragma once

#include <cstddef>
#include <vector>

#include "search/matcher.h"
#include "store/record_bytes.h"

namespace trovix::search {

// A record where it stands in a file's bytes: from its first byte to the line break that ends
// it.
struct RecordRange {
    std::size_t begin = 0;
    std::size_t end = 0;
    friend bool operator==(const RecordRange&, const RecordRange&) = default;
};

// The records of a file's bytes that match, in file order: the records a search of the loaded
// file lists. Large files are searched in parts at once.
std::vector<RecordRange> matchingRecordRanges(const store::FileBytes& file,
                                              const TermMatcher& matcher);

}  // namespace trovix::search
