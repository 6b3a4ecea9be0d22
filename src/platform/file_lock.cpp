#include "platform/file_lock.h"

#include <QtGlobal>

#ifdef Q_OS_UNIX
#include <sys/file.h>
#endif

namespace trovix::platform {

bool lockAlone(int handle) {
#ifdef Q_OS_UNIX
    return ::flock(handle, LOCK_EX | LOCK_NB) == 0;
#else
    Q_UNUSED(handle);
    return true;
#endif
}

bool lockedByAnother(int handle) {
#ifdef Q_OS_UNIX
    return ::flock(handle, LOCK_SH | LOCK_NB) != 0;
#else
    Q_UNUSED(handle);
    return false;
#endif
}

}  // namespace trovix::platform
