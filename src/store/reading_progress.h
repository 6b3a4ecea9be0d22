#pragma once

#include <QtGlobal>
#include <functional>
#include <utility>

namespace trovix::store {

// How a reading of a file tells its progress, a piece at a time, and learns that it is to
// stop: goOn(done, total) answers false once the user cancelled it. An empty goOn never stops.
class ReadingProgress {
  public:
    ReadingProgress() = default;
    explicit ReadingProgress(std::function<bool(qint64 done, qint64 total)> goOn)
        : goOn_(std::move(goOn)) {}

    // `done` of `total` bytes are in; false once the reading is to stop.
    bool tell(qint64 done, qint64 total) {
        if (!cancelled_ && goOn_ && !goOn_(done, total)) {
            cancelled_ = true;
        }
        return !cancelled_;
    }
    bool cancelled() const { return cancelled_; }

  private:
    std::function<bool(qint64, qint64)> goOn_;
    bool cancelled_ = false;
};

// The bytes a reading takes in at a time between two reports of its progress.
constexpr qint64 kReadPiece = qint64{4} << 20;

}  // namespace trovix::store
