#pragma once

#include <QStringList>
#include <optional>

#include "platform/file_watcher.h"

namespace trovix::platform {

// A watcher on a clock of its own that moves only when the test moves it; changes happen when
// the test says so.
class FakeFileWatcher : public FileWatcher {
  public:
    void watch(const QStringList& files) override { watched = files; }
    void setChangeHandler(std::function<void(const QString&)> handler) override {
        onChange_ = std::move(handler);
    }
    qint64 now() const override { return time_; }
    // An empty `due` cancels the call.
    void callAfter(qint64 ms, std::function<void()> due) override {
        dueAt_ = due ? std::optional<qint64>(time_ + ms) : std::nullopt;
        due_ = std::move(due);
    }

    // Another program touched `file` (or its folder).
    void touch(const QString& file) {
        if (onChange_) {
            onChange_(file);
        }
    }
    // Moves the clock on, making every call that falls due on the way.
    void advance(qint64 ms) {
        const qint64 end = time_ + ms;
        while (dueAt_ && *dueAt_ <= end) {
            time_ = *dueAt_;
            dueAt_.reset();
            const auto due = std::move(due_);
            due();
        }
        time_ = end;
    }
    bool callPending() const { return dueAt_.has_value(); }

    QStringList watched;

  private:
    qint64 time_ = 100000;
    std::optional<qint64> dueAt_;
    std::function<void()> due_;
    std::function<void(const QString&)> onChange_;
};

}  // namespace trovix::platform
