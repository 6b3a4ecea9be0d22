#include "store/recovery_writer.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>

#include "platform/file_lock.h"
#include "platform/private_folder.h"
#include "platform/replacement_file.h"
#include "platform/system_disk.h"

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif
#ifdef Q_OS_LINUX
#include <sys/resource.h>
#include <sys/syscall.h>
#endif

namespace trovix::store {
namespace {

QString runPrefix() {
    return QStringLiteral("%1-%2")
        .arg(QCoreApplication::applicationPid())
        .arg(QRandomGenerator::system()->generate(), 8, 16, QLatin1Char('0'));
}

}  // namespace

RecoveryWriter::RecoveryWriter(QString folder, std::function<void()> failed)
    : folder_(std::move(folder)),
      prefix_(runPrefix()),
      failed_(std::move(failed)),
      thread_([this] { run(); }) {
}

RecoveryWriter::~RecoveryWriter() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
        waiting_ = {};
    }
    wake_.notify_all();
    thread_.join();
    for (int slot = 0; slot < 3; ++slot) {
        unlock(slot);
    }
}

QString RecoveryWriter::pathOf(int slot) const {
    return folder_ + QStringLiteral("/%1-%2.recovery").arg(prefix_).arg(QChar(u'A' + slot));
}

QString RecoveryWriter::lastError() const {
    const std::lock_guard lock(mutex_);
    return lastError_;
}

void RecoveryWriter::keep(RecoveryHeader header, RecordArray records) {
    const int slot = header.slot;
    {
        const std::lock_guard lock(mutex_);
        waiting_[static_cast<std::size_t>(slot)] =
            Job{std::move(header), std::move(records), epoch_[static_cast<std::size_t>(slot)]};
    }
    wake_.notify_all();
}

void RecoveryWriter::forget(int slot) {
    std::optional<Job> dropped;  // freed outside the lock
    const std::lock_guard lock(mutex_);
    const auto n = static_cast<std::size_t>(slot);
    dropped = std::move(waiting_[n]);
    waiting_[n].reset();
    ++epoch_[n];
    slotError_[n].clear();
    // Under the lock: a write of this slot cannot be put in place in between.
    QFile::remove(pathOf(slot));
    unlock(slot);
}

void RecoveryWriter::waitUntilWritten() {
    std::unique_lock lock(mutex_);
    idle_.wait(lock, [this] { return !busy_ && !waiting_[0] && !waiting_[1] && !waiting_[2]; });
}

void RecoveryWriter::run() {
#ifdef Q_OS_LINUX
    // Behind typing for the processor: on a busy machine a key still waits for no write.
    ::setpriority(PRIO_PROCESS, static_cast<id_t>(::syscall(SYS_gettid)), 10);
#endif
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return stopping_ || waiting_[0] || waiting_[1] || waiting_[2]; });
        if (stopping_) {
            return;
        }
        for (std::optional<Job>& waiting : waiting_) {
            if (!waiting) {
                continue;
            }
            Job job = std::move(*waiting);
            waiting.reset();
            busy_ = true;
            lock.unlock();
            write(std::move(job));
            lock.lock();
            busy_ = false;
        }
        idle_.notify_all();
    }
}

// Everything slow happens before the lock is taken: the bytes are made, written and synced
// under a temporary name; only the rename waits for a forget() of the same slot.
void RecoveryWriter::write(Job job) {
    const int slot = job.header.slot;
    const auto n = static_cast<std::size_t>(slot);
    const QByteArray bytes = recoveryFileBytes(job.header, job.records);
    job.records = RecordArray();
    platform::SystemDisk disk;
    platform::ReplacementFile file(pathOf(slot));
    QString error;
    int handle = -1;
    // The recovery folder and the state folder above it are the program's own.
    if (const platform::Result<void> folder = platform::makePrivateFolder(folder_, 2); !folder) {
        error = folder.error();
    } else if (const platform::Result<void> opened = file.open(); !opened) {
        error = opened.error();
    } else if (!file.device().setPermissions(QFile::ReadOwner | QFile::WriteOwner)) {
        error = file.device().errorString();
    } else {
#ifdef Q_OS_UNIX
        // Locked from its first byte: a start meanwhile leaves the write alone, and the lock goes
        // with the file under its final name, and with this program should it die.
        handle = ::dup(file.device().handle());
        if (handle >= 0) {
            platform::lockAlone(handle);
        }
#endif
        QString failed;
        if (platform::io::stepDone(disk.write(file.device(), bytes.constData(), bytes.size(),
                                              platform::WriteKind::NewContent),
                                   failed)) {
            platform::io::stepDone(disk.sync(file.device()), failed);
        }
        error = failed;
    }
    const std::lock_guard lock(mutex_);
    const bool current = epoch_[n] == job.epoch;
    if (error.isEmpty() && current) {
        if (const platform::Result<void, platform::WriteFailure> committed =
                file.commit(std::nullopt);
            committed) {
            (void)disk.syncFolder(folder_);
            unlock(slot);
            lockHandle_[n] = handle;
            lastError_.clear();
            slotError_[n].clear();
            return;
        } else {
            error = committed.error();
        }
    }
    file.cancel();
    if (!error.isEmpty() && current) {
        lastError_ = error;
        slotError_[n] = error;
        if (failed_) {
            failed_();
        }
    }
#ifdef Q_OS_UNIX
    if (handle >= 0) {
        ::close(handle);
    }
#endif
}

bool RecoveryWriter::adopt(int slot, const QString& path) {
    const auto n = static_cast<std::size_t>(slot);
    const std::lock_guard lock(mutex_);
#ifdef Q_OS_UNIX
    // Locked before it moves, so that no other copy starting meanwhile takes it too.
    const int handle = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (handle < 0 || !platform::lockAlone(handle)) {
        if (handle >= 0) {
            ::close(handle);
        }
        return false;
    }
    if (::rename(QFile::encodeName(path).constData(),
                 QFile::encodeName(pathOf(slot)).constData()) != 0) {
        ::close(handle);
        return false;
    }
    unlock(slot);
    lockHandle_[n] = handle;
    return true;
#else
    QFile::remove(pathOf(slot));
    return QFile::rename(path, pathOf(slot));
#endif
}

QString RecoveryWriter::errorOf(int slot) const {
    const std::lock_guard lock(mutex_);
    return slotError_[static_cast<std::size_t>(slot)];
}

void RecoveryWriter::unlock(int slot) {
    int& handle = lockHandle_[static_cast<std::size_t>(slot)];
#ifdef Q_OS_UNIX
    if (handle >= 0) {
        ::close(handle);
    }
#endif
    handle = -1;
}

}  // namespace trovix::store
