#pragma once

#include "lists/slot.h"
#include "undo/edit_history.h"

namespace trovix {
class EditBox;
}

namespace trovix::records {

// The edit box text changed: the text goes back into the record of the selected row of the
// list with focus (`focus`, none for none; its lines joined by "-----"), the row shows the new
// first line, the slot is marked changed, and `edits` takes the typing. Blank texts, excerpts and
// the header row (shown with `displayFileNames`) are never written back. The caller ignores the
// change while the program itself is writing the box.
void editBoxChanged(const EditBox& editBox, undo::EditHistory& edits, lists::FileSlots& slots,
                    std::optional<lists::SlotId> focus, bool displayFileNames);

}  // namespace trovix::records
