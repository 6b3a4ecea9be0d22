#pragma once

#include <QString>

#include "lists/slot.h"

namespace trovix {
class StatusBar;
}

namespace trovix::search {

// A slot's status bar panel: its file's name without the folder and its list's row count,
// "name  (n)".
QString statusPanelText(const lists::FileSlot& slot);

// Writes status bar panels 1 to 3, one for each slot.
void fillStatusBar(StatusBar& statusBar, const lists::FileSlots& slots);

}  // namespace trovix::search
