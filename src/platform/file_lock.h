#pragma once

// Locks that tell another running copy of the program that a file of its own is in use (a
// rollback copy, a recovery file, a journal): taken on an open handle, a lock goes with the
// handle, and with the program should it die. Neither call ever waits. On systems without such
// locks, a lock is always taken and no file is ever held by another.
namespace trovix::platform {

// Takes the lock alone; false when another process holds one.
bool lockAlone(int handle);
// Whether another process holds the file's lock alone.
bool lockedByAnother(int handle);

}  // namespace trovix::platform
