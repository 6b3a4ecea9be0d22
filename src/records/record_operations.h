#pragma once

#include "lists/listing.h"
#include "lists/slot.h"
#include "platform/services.h"
#include "undo/edit_history.h"

namespace trovix {
class EditBox;
}

namespace trovix::records {

// The three commands on the records of the slot whose list has the focus (`focus`); without
// a list with focus they do nothing. None asks or writes the file; each marks the slot changed
// and records in `edits` what it takes to undo it.

// Adds the record "New Item" at the end, lists it last, selects it and shows it for editing.
// It takes the empty element that follows a file's final line break; when there is none (an
// empty array, a file without a final line break, after a sort or a compaction) it gets an
// element of its own, so no record is ever overwritten.
void newItem(undo::EditHistory& edits, lists::FileSlots& slots, std::optional<lists::SlotId> focus,
             EditBox& editBox);

// Blanks the selected record (its element stays, empty, until a compaction) and removes its row;
// the row below, or the one above for the last row, is selected. A list's last remaining row,
// the header row and "no match found" are never deleted.
void deleteItem(undo::EditHistory& edits, lists::FileSlots& slots,
                std::optional<lists::SlotId> focus);

// Puts the slot's records in alphabetical order, ignoring case, in exactly the order an exchange
// sort leaves them (see exchangeSortOrder), lists the slot again and selects the first row that
// shows the text the selected row showed, as the listing options say. The busy pointer shows
// meanwhile. A sort without the memory it needs leaves the records as they are and says so.
void sortItems(const platform::Services& services, undo::EditHistory& edits,
               lists::FileSlots& slots, std::optional<lists::SlotId> focus,
               const lists::ListingOptions& options);

}  // namespace trovix::records
