#pragma once

#include <QLockFile>
#include <QString>
#include <optional>

#include "platform/instance_guard.h"

namespace trovix::platform {

// A lock file held for the lifetime of the first copy. QLockFile records the owner's process
// id, so the lock of a copy that crashed is found stale and taken over.
class QtInstanceGuard : public InstanceGuard {
  public:
    // An empty path means trovix7.lock in the user's runtime folder (the temporary folder
    // where there is none).
    explicit QtInstanceGuard(const QString& lockPath = {});

    // Tries the lock on the first call and keeps the answer; once taken, the lock stays held
    // until this object is destroyed.
    bool anotherCopyRunning() override;
    // Gives the lock up before this object goes, for a process that ends without destroying it.
    void release();

    QString lockPath() const { return path_; }
    static QString defaultLockPath();

  private:
    QString path_;
    QLockFile lock_;
    std::optional<bool> running_;
};

}  // namespace trovix::platform
