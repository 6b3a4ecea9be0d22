#pragma once

#include <QString>

#include "store/data_file.h"
#include "store/record_array.h"
#include "store/result_list.h"

namespace trovix::store {

enum class SlotId { A = 0, B = 1, C = 2 };
inline constexpr SlotId kAllSlots[] = {SlotId::A, SlotId::B, SlotId::C};

// One data file in memory: its name, its records, whether they differ from the file, and the
// result list that shows them.
struct FileSlot {
    QString fileName;
    RecordArray records;
    bool changed = false;
    FileFormat format = FileFormat::native();
    // Set when the file exists but could not be read: saving over it would destroy it.
    bool unreadable = false;
    // The file as it was last read or written, to notice another program's changes.
    platform::FileStamp stamp;
    // The name of the file the records were last read from; empty before the first read.
    QString readName;
    ResultList list{records};
};

}  // namespace trovix::store
