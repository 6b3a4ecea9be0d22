#pragma once

namespace trovix {
struct MainState;
}

namespace trovix::output {

// "Print List": every row of the list with focus, as the list shows it, ten spaces in front,
// below five empty lines; more than 50 rows are asked about first. With no list with focus the
// page holds only the five empty lines.
void printList(MainState& state);

// "Print Selection": the selected row of the list with focus (no row: an empty line), ten
// spaces in front, below five empty lines.
void printSelection(MainState& state);

// "Print Form": an image of the window.
void printForm(MainState& state);

// Before a list of `rows` rows is printed: above 50 the user is asked whether to go on.
bool printBigList(MainState& state, int rows);

}  // namespace trovix::output
