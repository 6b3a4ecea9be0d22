#pragma once

namespace trovix {
struct MainState;
}

namespace trovix::records {

// The edit box text changed: the text goes back into the record of the selected row of the
// list with focus (its lines joined by "-----"), the row shows the new first line, and the
// slot is marked changed. Blank texts and the header row are never written back.
void editBoxChanged(MainState& state);

}  // namespace trovix::records
