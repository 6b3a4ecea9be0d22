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

// A data file's bytes as reading it decides (FileBytes::of()), and its records that match, in
// file order: the records a search of the loaded file lists. The encoding is worked out only
// where the records found depend on it, or when it is needed: else it reads UTF-8.
struct FileSearch {
    store::FileBytes file;
    std::vector<RecordRange> found;
};

// Searches the bytes of a data file, large files in parts at once. Where a term of the search
// can point to the records that may match, the encoding is checked in the same pass.
FileSearch searchFileBytes(std::string_view bytes, const TermMatcher& matcher, bool encodingNeeded);

}  // namespace trovix::search
