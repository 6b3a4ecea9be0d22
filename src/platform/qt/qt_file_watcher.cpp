#include "platform/qt/qt_file_watcher.h"

#include <QFileInfo>

namespace trovix::platform {

QtFileWatcher::QtFileWatcher() {
    clock_.start();
    timer_.setSingleShot(true);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
        if (due_) {
            const auto due = std::move(due_);
            due_ = {};
            due();
        }
    });
    QObject::connect(&system_, &QFileSystemWatcher::fileChanged,
                     [this](const QString& path) { changed(path, false); });
    QObject::connect(&system_, &QFileSystemWatcher::directoryChanged,
                     [this](const QString& path) { changed(path, true); });
}

void QtFileWatcher::watch(const QStringList& files) {
    if (const QStringList old = system_.files() + system_.directories(); !old.isEmpty()) {
        system_.removePaths(old);
    }
    files_ = files;
    paths_.clear();
    folders_.clear();
    for (const QString& file : files) {
        const QFileInfo info(file);
        paths_.append(info.absoluteFilePath());
        folders_.append(info.absolutePath());
    }
    watchAgain();
}

// Adds what exists of the files and folders and is not watched yet: a file renamed away, or
// deleted, is no longer watched by the system, and one put in its place must be taken up.
void QtFileWatcher::watchAgain() {
    const QStringList watchedFiles = system_.files();
    const QStringList watchedFolders = system_.directories();
    QStringList add;
    for (qsizetype i = 0; i < paths_.size(); ++i) {
        if (!watchedFiles.contains(paths_[i]) && !add.contains(paths_[i]) &&
            QFileInfo::exists(paths_[i])) {
            add.append(paths_[i]);
        }
        if (!watchedFolders.contains(folders_[i]) && !add.contains(folders_[i]) &&
            QFileInfo::exists(folders_[i])) {
            add.append(folders_[i]);
        }
    }
    if (!add.isEmpty()) {
        system_.addPaths(add);
    }
}

void QtFileWatcher::changed(const QString& path, bool folder) {
    watchAgain();
    const QStringList files = files_;  // the handler may watch other files
    for (qsizetype i = 0; i < files.size(); ++i) {
        if (i < paths_.size() && (folder ? folders_[i] : paths_[i]) == path && onChange_) {
            onChange_(files[i]);
        }
    }
}

void QtFileWatcher::setChangeHandler(std::function<void(const QString&)> handler) {
    onChange_ = std::move(handler);
}

qint64 QtFileWatcher::now() const {
    return clock_.elapsed();
}

void QtFileWatcher::callAfter(qint64 ms, std::function<void()> due) {
    due_ = std::move(due);
    if (due_) {
        timer_.start(static_cast<int>(std::max<qint64>(0, ms)));
    } else {
        timer_.stop();
    }
}

}  // namespace trovix::platform
