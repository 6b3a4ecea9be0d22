#pragma once

#include <QString>

#include "lists/slot.h"
#include "platform/services.h"

namespace trovix::output {

// Every row of a list, as the list shows it, one a line with the platform's line break between
// rows and none after the last.
QString listText(const lists::ResultList& list);

// "Copy List to ClipBoard": the list text of the list with focus. The clipboard is emptied
// first, and stays empty with no list with focus (`focused` null).
void copyList(const platform::Services& services, const lists::FileSlot* focused);

// "Copy Selection to Clipboard": the selected row's text (empty when none is selected).
void copySelection(const platform::Services& services, const lists::FileSlot* focused);

}  // namespace trovix::output
