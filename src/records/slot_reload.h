#pragma once

#include <QString>
#include <functional>

#include "lists/slot.h"

namespace trovix {
struct MainState;
}

namespace trovix::records {

enum class ReloadOutcome {
    Reloaded,
    // The file kept changing while it was read: nothing was taken, try again later.
    Unsettled,
    // The file is gone, or could not be read: the slot keeps its records.
    NotRead,
};

// Reads a slot's file again after another program changed it, and shows its records as the
// list showed them before: `relist` fills the list from the new records (every record, or the
// matches of the search shown). A file still being written is never taken half-way: when its
// stamp changes while it is read, it is read again, a few times at most. The record that was
// selected stays selected when a record with the same text is there; otherwise nothing is, and
// the edit box, which showed it, is emptied. The slot's unsaved changes, if any, are dropped,
// and it is no longer marked changed.
ReloadOutcome reloadSlot(MainState& state, lists::SlotId id, const std::function<void()>& relist);

}  // namespace trovix::records
