#pragma once

#include <QList>

#include "platform/save_journal.h"

namespace trovix {
struct MainState;
}

namespace trovix::app {

// Tells the user, file by file, about the saves that were cut short before this start and what
// was done about them (recoverInterruptedSaves).
void tellOfInterruptedSaves(MainState& state, const QList<platform::InterruptedSave>& saves);

}  // namespace trovix::app
