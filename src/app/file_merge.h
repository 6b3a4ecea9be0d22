#pragma once

#include <QString>
#include <QStringList>

#include "app/file_changes.h"
#include "lists/slot.h"

namespace trovix {
struct MainState;
}

// Merging what another program, or another computer through a sync tool, wrote to a data file
// with the records a list holds, so that neither side's changes are lost. A merge writes
// nothing: the slot is marked changed, and its save replaces the file only while the file is
// the one merged.
namespace trovix::app {

// Merges the slot's file as it is now with the slot's unsaved changes, record by record, as one
// step of the undo history, and says in the status bar what happened. Records both sides
// changed are kept twice, and the first of them is selected.
ReloadOutcome mergeChangedSlot(MainState& state, lists::SlotId id);

// Whether `name` (a file name without its folder) is a sync tool's conflict copy of the data
// file named `dataFileName`: "phone_numbers.sync-conflict-20261207-101500-ABCDEFG.txt", or
// "phone_numbers (conflicted copy 2026-12-07).txt" and the like.
bool isConflictCopyName(const QString& name, const QString& dataFileName);

// The conflict copies that stand beside a data file now, by path, in name order.
QStringList conflictCopiesOf(const QString& dataFile);

// Takes a conflict copy's records into the slot, as one step of the undo history: records only
// the copy holds are added after their nearest neighbour both hold. The copy goes to the trash
// when the slot is next saved (at once when it added nothing to a slot without changes). False
// when the copy could not be read.
bool takeInConflictCopy(MainState& state, lists::SlotId id, const QString& copy);

}  // namespace trovix::app
