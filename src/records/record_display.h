#pragma once

#include <QString>
#include <string_view>

namespace trovix {
struct MainState;
}

namespace trovix::records {

// The text the edit box shows for a record: its lines separated by CR LF.
QString displayText(std::string_view element);

// The selected row of list n (1, 2, 3 for the lists of slots A, B, C) changed: that list gets
// the focus and its colour, the other lists lose their selections, and the edit box shows the
// selected record (editable in normal view, read only in full data view) or "<disabled>" for a
// row that is not a record.
void listClick(MainState& state, int n);

// A mouse button went down over list n: it is coloured and the other lists lose their
// selections; the list with focus and the edit box wait for the click.
void listMouseDown(MainState& state, int n);

// Gives list n the focus colour and the others white, when list n is shown.
void setListBackGroundColors(MainState& state, int n);

}  // namespace trovix::records
