#pragma once

#include "platform/qt/qt_instance_guard.h"

namespace trovix::widgets {

// Ends the process with `exitCode` once the window has closed and everything the program
// writes is written: the settings and any saves. The records, their lists, their history and
// the window's widgets are not freed one by one first, which takes a large file's user longer
// than the close itself; the other copies' lock is given up and the output flushed. Returns
// `exitCode`, for the usual end, only where that end does more: when text this program put on
// the clipboard is still to be handed to the desktop as Qt shuts down, and in builds that look
// for leaks at the end.
int endProgram(int exitCode, platform::QtInstanceGuard& instance);

}  // namespace trovix::widgets
