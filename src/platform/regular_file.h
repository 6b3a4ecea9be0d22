#pragma once

#include <QString>

#include "platform/result.h"

class QFile;

namespace trovix::platform {

// Opens a file for reading only when it is a regular file (links followed). A named pipe or a
// device is never opened in a way that waits: such a file, or one that turned into one since it
// was last looked at, gives the error "It is a named pipe, not a regular file." and the like.
Result<void> openRegularFile(QFile& file);

}  // namespace trovix::platform
