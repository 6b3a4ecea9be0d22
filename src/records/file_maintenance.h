#pragma once

namespace trovix {
struct MainState;
}

namespace trovix::records {

// Removes the blank records (empty or spaces only) from all three slots and marks all three
// changed. The rows the lists show keep showing their own records under their new indices.
void compact(MainState& state);

// Copies each slot's data file, as it is on disk, to its name with ".old" appended. All three
// copies are made or none: a missing or unreadable data file, or a backup that cannot be
// written, is reported, naming the file and the reason, and no backup is changed.
bool backup(MainState& state);

// Copies each ".old" backup over its data file and reads the three slots again; the changed
// flags stay as they were. All or nothing, as backup().
bool restore(MainState& state);

}  // namespace trovix::records
