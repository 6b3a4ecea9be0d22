#include "store/recovery_writer.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QSaveFile>

#include "platform/system_disk.h"

#ifdef Q_OS_UNIX
#include <sys/file.h>
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

// A folder only this user can read: it holds copies of the user's records.
bool makePrivateFolder(const QString& folder) {
    if (!QDir().mkpath(folder)) {
        return false;
    }
    return QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner) ||
           QDir(folder).exists();
}

}  // namespace

RecoveryWriter::RecoveryWriter(QString folder)
    : folder_(std::move(folder)), prefix_(runPrefix()), thread_([this] { run(); }) {
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
    QSaveFile file(pathOf(slot));
    QString error;
    int handle = -1;
    if (!makePrivateFolder(folder_)) {
        error = QStringLiteral("The folder %1 cannot be made.").arg(folder_);
    } else if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) ||
               !file.setPermissions(QFile::ReadOwner | QFile::WriteOwner)) {
        error = file.errorString();
    } else if (const platform::Result<void> written = disk.write(
                   file, bytes.constData(), bytes.size(), platform::WriteKind::NewContent);
               !written) {
        error = written.error();
    } else if (const platform::Result<void> synced = disk.sync(file); !synced) {
        error = synced.error();
    } else {
#ifdef Q_OS_UNIX
        // The lock goes with the file under its final name, and with this program should it die.
        handle = ::dup(file.handle());
        if (handle >= 0) {
            ::flock(handle, LOCK_EX | LOCK_NB);
        }
#endif
    }
    const std::lock_guard lock(mutex_);
    if (error.isEmpty() && epoch_[n] == job.epoch && file.commit()) {
        (void)disk.syncFolder(folder_);
        unlock(slot);
        lockHandle_[n] = handle;
        lastError_.clear();
        return;
    }
    if (error.isEmpty() && epoch_[n] == job.epoch) {
        error = file.errorString();
    }
    file.cancelWriting();
    if (!error.isEmpty()) {
        lastError_ = error;
    }
#ifdef Q_OS_UNIX
    if (handle >= 0) {
        ::close(handle);
    }
#endif
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
