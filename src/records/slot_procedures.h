#pragma once

#include "store/slot.h"

namespace trovix {
struct MainState;
}

namespace trovix::records {

// Reads a slot's file into its records and lists them. A file that exists but cannot be read
// leaves the slot's records and list as they were and tells the user why.
void loadFile(MainState& state, store::SlotId id);

// Lists every record of a slot in its result list.
void loadArray(MainState& state, store::SlotId id);

// Writes a slot's records to its file. On failure the user is told which file and why, and
// the slot stays as it was. Returns whether the file was written; the caller clears the
// changed flag only then.
bool saveFile(MainState& state, store::SlotId id);

// Switch the three lists between one row per record and full data view, keeping what they
// show.
void expandListData(MainState& state);
void contractListData(MainState& state);

}  // namespace trovix::records
