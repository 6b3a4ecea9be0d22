#pragma once

#include <QString>
#include <QtGlobal>
#include <limits>

namespace trovix::platform {

// How much more memory the program may take, and what sets that bound, in words for a message
// ("the physical memory available").
struct MemoryRoom {
    qint64 bytes = std::numeric_limits<qint64>::max();
    QString limitedBy;
};

// The memory the program may still take: what the system has free, and the limits put on this
// process. Asked before a large file is read, so that a file that cannot fit is refused with
// a reason instead of ending the program.
class MemoryLimits {
  public:
    virtual ~MemoryLimits() = default;
    virtual MemoryRoom room() const = 0;
};

// The system's own figures: on Linux the physical memory available (/proc/meminfo), the
// memory limit of the process's control group, and the address space and data size allowed
// to the process (ulimit -v, ulimit -d), whichever is smallest. Unknown figures set no bound.
class SystemMemoryLimits : public MemoryLimits {
  public:
    MemoryRoom room() const override;
};

// One instance of the system's figures, for callers that are given no other.
const MemoryLimits& systemMemoryLimits();

// A number of bytes in words, in the user's locale: "812 KB", "3.4 MB", "7.2 GB".
QString describeBytes(qint64 bytes);

}  // namespace trovix::platform
