#pragma once

#include <QElapsedTimer>
#include <QFileSystemWatcher>
#include <QTimer>

#include "platform/file_watcher.h"

namespace trovix::platform {

// Watches files with the system's change notices, and each file's folder too: a file replaced
// by a rename drops out of the system's watch, and is taken up again when its folder changes.
class QtFileWatcher : public FileWatcher {
  public:
    QtFileWatcher();
    void watch(const QStringList& files) override;
    void setChangeHandler(std::function<void(const QString&)> handler) override;
    qint64 now() const override;
    void callAfter(qint64 ms, std::function<void()> due) override;

  private:
    void changed(const QString& path, bool folder);
    void watchAgain();

    QFileSystemWatcher system_;
    QStringList files_;    // as the caller names them
    QStringList paths_;    // the same, absolute
    QStringList folders_;  // the folder of each
    QElapsedTimer clock_;
    QTimer timer_;
    std::function<void()> due_;
    std::function<void(const QString&)> onChange_;
};

}  // namespace trovix::platform
