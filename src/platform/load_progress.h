#pragma once

#include <QString>
#include <QtGlobal>

namespace trovix::platform {

// Shows how far the reading of a data file has come, once it has taken long enough for the user
// to wonder, and lets the user cancel it. A reading tells started(), then at() after each piece
// read, then ended(), also when it stops early.
class LoadProgress {
  public:
    virtual ~LoadProgress() = default;
    virtual void started(const QString& fileName) = 0;
    // `done` of `total` bytes read; false once the user cancelled the reading.
    virtual bool at(qint64 done, qint64 total) = 0;
    virtual void ended() = 0;
};

}  // namespace trovix::platform
