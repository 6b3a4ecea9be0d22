#pragma once

#include <QList>

#include "platform/load_progress.h"

namespace trovix::platform {

// Records each reading's progress and cancels one where a test plans it.
class FakeLoadProgress : public LoadProgress {
  public:
    void started(const QString& fileName) override {
        files << fileName;
        reported.clear();
    }
    bool at(qint64 done, qint64 total) override {
        reported << done;
        lastTotal = total;
        return cancelAfter < 0 || reported.size() <= cancelAfter;
    }
    void ended() override { ++endings; }

    // The reading answers "cancel" once it has told more than this many pieces; negative: never.
    int cancelAfter = -1;
    QStringList files;
    QList<qint64> reported;  // of the last reading
    qint64 lastTotal = 0;
    int endings = 0;
};

}  // namespace trovix::platform
