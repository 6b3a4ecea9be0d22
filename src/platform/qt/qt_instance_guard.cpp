#include "platform/qt/qt_instance_guard.h"

#include <QDir>
#include <QStandardPaths>

#include "platform/safe_file.h"

namespace trovix::platform {

QString QtInstanceGuard::defaultLockPath() {
    QString folder;
#ifndef Q_OS_WIN
    // On Windows the "runtime" folder is the user's home; the temporary folder is per user
    // there and the better place.
    folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
#endif
    if (folder.isEmpty()) {
        folder = QDir::tempPath();
    }
    return QDir(folder).filePath(QStringLiteral("trovix7.lock"));
}

QtInstanceGuard::QtInstanceGuard(const QString& lockPath)
    : path_(lockPath.isEmpty() ? defaultLockPath() : lockPath), lock_(path_) {
    // QLockFile's default calls a lock stale after 30 seconds even while its owner runs. Local
    // folders are also guarded by a native lock, but network folders are not, and there a
    // second copy could start beside a long-running first one. With 0 only the death of the
    // owning process makes the lock stale.
    lock_.setStaleLockTime(0);
}

bool QtInstanceGuard::anotherCopyRunning() {
    if (!running_) {
        // QLockFile reads a lock that is there, and would wait on a named pipe for a writer;
        // a lock that is no regular file says nothing about other copies.
        if (const PathKind kind = pathKind(path_);
            kind != PathKind::Missing && kind != PathKind::RegularFile) {
            running_ = false;
        } else if (lock_.tryLock(0)) {
            running_ = false;
        } else {
            // Only a lock held by a live process means another copy. A folder we cannot write
            // to says nothing about other copies and must not keep this one from starting.
            running_ = lock_.error() == QLockFile::LockFailedError;
        }
    }
    return *running_;
}

void QtInstanceGuard::release() {
    if (lock_.isLocked()) {
        lock_.unlock();
    }
}

}  // namespace trovix::platform
