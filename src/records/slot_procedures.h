#pragma once

#include <QString>

#include "lists/listing.h"
#include "lists/slot.h"
#include "platform/result.h"

namespace trovix::records {

// Reads a slot's file into its records and lists them. A file that exists but cannot be read
// leaves the slot's records and list as they were and tells the user why; a name that holds
// something other than a regular file (a folder, a named pipe), or that no file can be reached
// by as it is shown (not valid UTF-8), lists "<file not found>" and the user is told why.
void loadFile(const lists::FileContext& files, lists::SlotId id);

// Lists every record of a slot in its result list.
void loadArray(lists::FileSlot& slot, const lists::ListingOptions& options);

// Why a slot was not saved: the user declined, or the write failed for `reason`.
struct NotSaved {
    QString reason;         // empty when declined
    bool unchanged = true;  // the file holds its old bytes
    bool declined = false;  // the user kept what is there
    // Declined because the user chose to merge another program's change to the file instead.
    bool mergeWanted = false;
};

// Writes a slot's records to its file. The user is asked first, and the outcome is Declined when
// the user keeps what is there (declined), when:
// - another program, or another list of this window, changed, replaced, created or deleted the
//   file since the slot read it (the question names the file behind a symbolic link, and
//   offers to merge a file that is there: then `mergeWanted` is set);
// - a character of the records does not fit the file's encoding (Windows-1252): the whole file
//   would be saved as UTF-8.
// Nothing but a regular file, or a link to one, is replaced: a folder, a named pipe, a device or
// socket (also behind a link) fails with the reason, as does a name no file can be saved by as
// it is shown. A failure is only returned: each caller tells it in its own words.
platform::Result<void, NotSaved> writeSlot(const lists::FileContext& files, lists::SlotId id);

// The text that tells a failed save: the file's name and the reason.
QString saveFailureText(const QString& fileName, const QString& reason);

// Writes a slot's records to its file, telling the user which file failed and why. The caller
// clears the changed flag only when the file was written.
platform::Result<void, NotSaved> saveFile(const lists::FileContext& files, lists::SlotId id);

// Switch the three lists between one row per record and full data view, keeping what they
// show.
void expandListData(lists::FileSlots& slots, bool displayFileNames);
void contractListData(lists::FileSlots& slots, bool displayFileNames);

}  // namespace trovix::records
