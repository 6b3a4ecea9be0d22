#pragma once

#include "lists/slot.h"

namespace trovix {
class EditBox;
}

namespace trovix::records {

// The edit box text changed: the text goes back into the record of the selected row of the
// list with focus (`focused`, null for none; its lines joined by "-----"), the row shows the new
// first line, and the slot is marked changed. Blank texts, excerpts and the header row (shown
// with `displayFileNames`) are never written back. The caller ignores the change while the
// program itself is writing the box.
void editBoxChanged(const EditBox& editBox, lists::FileSlot* focused, bool displayFileNames);

}  // namespace trovix::records
