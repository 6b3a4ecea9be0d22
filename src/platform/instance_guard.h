#pragma once

namespace trovix::platform {

// Tells whether another copy of the program is already running. The first copy holds a lock
// for its lifetime; a copy that crashed does not leave the lock stuck.
class InstanceGuard {
  public:
    virtual ~InstanceGuard() = default;
    virtual bool anotherCopyRunning() = 0;
};

}  // namespace trovix::platform
