#pragma once

#include <cstddef>
#include <optional>

#include "store/data_format.h"

namespace trovix::store {

// What splitting [begin, end) will give, counted before anything is stored, by the rules
// RecordSplitter follows.
struct RecordCount {
    std::size_t records = 0;
    std::size_t nonEmpty = 0;  // each takes a row when the file is listed

    RecordCount& operator+=(const RecordCount& other) {
        records += other.records;
        nonEmpty += other.nonEmpty;
        return *this;
    }
};

RecordCount countRecords(const char* d, std::size_t begin, std::size_t end,
                         std::optional<LineBreak> lb);

}  // namespace trovix::store
