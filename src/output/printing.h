#pragma once

#include "lists/slot.h"
#include "platform/services.h"

namespace trovix {
struct ListFont;
}

namespace trovix::output {

// "Print List": every row of the list with focus, as the list shows it, ten spaces in front,
// below five empty lines, in the lists' font; more than 50 rows are asked about first. With no
// list with focus (`focused` null) the page holds only the five empty lines.
void printList(const platform::Services& services, const lists::FileSlot* focused,
               const ListFont& font);

// "Print Selection": the selected row of the list with focus (no row: an empty line), ten
// spaces in front, below five empty lines.
void printSelection(const platform::Services& services, const lists::FileSlot* focused,
                    const ListFont& font);

// "Print Form": an image of the window.
void printForm(const platform::Services& services);

// Before a list of `rows` rows is printed: above 50 the user is asked whether to go on.
bool printBigList(const platform::Services& services, int rows);

}  // namespace trovix::output
