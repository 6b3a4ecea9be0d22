#include "platform/system_disk.h"

#include <QSaveFile>
#include <cerrno>
#include <cstring>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif

namespace trovix::platform {

namespace io {

QString systemReason(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

QString diskFullReason() {
    return systemReason(ENOSPC);
}

QString reasonOf(const QFileDevice& file, int savedErrno) {
    const QString qt = file.errorString();
    if (!qt.isEmpty() && qt != QLatin1String("Unknown error")) {
        return qt;
    }
    return systemReason(savedErrno != 0 ? savedErrno : EIO);
}

}  // namespace io

bool SystemDisk::open(QFile& file, QIODevice::OpenMode mode, QString& error,
                      std::optional<QFileDevice::Permissions> permissions) {
    errno = 0;
    if (!(permissions ? file.open(mode, *permissions) : file.open(mode))) {
        error = io::reasonOf(file, errno);
        return false;
    }
    return true;
}

bool SystemDisk::openReplacement(QSaveFile& file) {
    return file.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
}

bool SystemDisk::write(QFileDevice& file, const char* data, qint64 size, QString& error,
                       WriteKind) {
    qint64 done = 0;
    while (done < size) {
        errno = 0;
        const qint64 n = file.write(data + done, size - done);
        if (n <= 0) {
            error = io::reasonOf(file, errno);
            return false;
        }
        done += n;
    }
    return true;
}

bool SystemDisk::flush(QFileDevice& file, QString& error) {
    errno = 0;
    if (!file.flush()) {
        error = io::reasonOf(file, errno);
        return false;
    }
    return true;
}

bool SystemDisk::sync(QFileDevice& file, QString& error) {
#ifdef Q_OS_UNIX
    if (::fsync(file.handle()) != 0 && errno != EINVAL && errno != ENOTSUP) {
        error = io::systemReason(errno);
        return false;
    }
#else
    Q_UNUSED(file);
    Q_UNUSED(error);
#endif
    return true;
}

bool SystemDisk::resize(QFileDevice& file, qint64 size, QString& error) {
    errno = 0;
    if (!file.resize(size)) {
        error = io::reasonOf(file, errno);
        return false;
    }
    return true;
}

bool SystemDisk::syncFolder(const QString& folder, QString& error) {
#ifdef Q_OS_UNIX
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
    if (fd < 0) {
        error = io::systemReason(errno);
        return false;
    }
    const bool synced = ::fsync(fd) == 0 || errno == EINVAL || errno == ENOTSUP;
    const int syncError = errno;
    ::close(fd);
    if (!synced) {
        error = io::systemReason(syncError);
        return false;
    }
#else
    Q_UNUSED(folder);
    Q_UNUSED(error);
#endif
    return true;
}

bool SystemDisk::commitReplacement(QSaveFile& file) {
    return file.commit();
}

}  // namespace trovix::platform
