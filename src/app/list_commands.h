#pragma once

#include "lists/slot.h"

namespace trovix {
struct MainState;
}

// What a click on a list does, and which lists are shown.
namespace trovix::app {

// The selected row of a slot's list changed: that list gets the focus and its colour, the
// other lists lose their selections, and the edit box shows the selected record (editable in
// normal view, read only in full data view) or "<disabled>" for a row that is not a record.
void listClick(MainState& state, lists::SlotId id);

// A mouse button went down over a slot's list: it is coloured and the other lists lose their
// selections; the list with focus and the edit box wait for the click.
void listMouseDown(MainState& state, lists::SlotId id);

// Shows the lists whose toolbar buttons are pressed, makes the first shown list the list with
// focus when none has it, colours it, selects its first record and shows it, refreshes the
// status bar and lays the window out.
void setListDisplay(MainState& state);

}  // namespace trovix::app
