#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <functional>

namespace trovix::platform {

// Tells when files may have changed on disk, and keeps the time the program waits by before it
// acts on a change.
class FileWatcher {
  public:
    virtual ~FileWatcher() = default;
    // Watches these files from now on, in place of those watched before, and the folders that
    // hold them: a file another program replaces by renaming a new one over it is found again.
    virtual void watch(const QStringList& files) = 0;
    // Gets a watched file's name (as given to watch()) each time it, or its folder, may have
    // changed. Raw: several calls come for one save, and some for changes that touch nothing.
    virtual void setChangeHandler(std::function<void(const QString& file)> handler) = 0;
    // Milliseconds on a clock that only moves forward.
    virtual qint64 now() const = 0;
    // Calls `due` once, `ms` milliseconds from now, in place of a call not yet made; an empty
    // `due` only cancels that call.
    virtual void callAfter(qint64 ms, std::function<void()> due) = 0;
};

}  // namespace trovix::platform
