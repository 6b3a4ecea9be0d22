#pragma once

#include <QList>

#include "platform/message_boxes.h"
#include "platform/save_journal.h"

namespace trovix::app {

// Tells the user, file by file, about the saves that were cut short before this start and what
// was done about them (recoverInterruptedSaves).
void tellOfInterruptedSaves(platform::MessageBoxes& messages,
                            const QList<platform::InterruptedSave>& saves);

}  // namespace trovix::app
