#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <QtGlobal>

namespace trovix::lists {

// What one search found in a slot's records, kept so that a later search that can only find
// fewer records looks among these alone.
struct FoundRecords {
    std::vector<std::string> terms;  // the terms as compared: case-folded when ignoring case
    bool ignoreCase = true;
    std::uint64_t recordsStamp = 0;  // the records' change stamp when they were searched
    std::shared_ptr<const std::vector<qint32>> records;  // ascending record indices
};

// The last few searches of a slot, newest first.
using RecentFinds = std::vector<FoundRecords>;

}  // namespace trovix::lists
