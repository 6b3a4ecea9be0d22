#pragma once

#include "lists/slot.h"
#include "platform/services.h"

namespace trovix::records {

// Removes the blank records (empty or spaces only) from all three slots and marks all three
// changed; a file that ends with a line break keeps it. The rows the lists show keep showing
// their own records under their new indices.
void compact(lists::FileSlots& slots);

// Copies each slot's data file, as it is on disk, to its name with ".old" appended. All three
// copies are made or none: a missing or unreadable data file, or a backup that cannot be
// written, is reported, naming the file and the reason, and no backup is changed.
bool backup(const platform::Services& services, const lists::FileSlots& slots);

// Copies each ".old" backup over its data file, all or nothing, as backup(). Returns whether
// the files were replaced: the slots are then to be read again (their changed flags stay).
bool restoreBackups(const platform::Services& services, const lists::FileSlots& slots);

}  // namespace trovix::records
