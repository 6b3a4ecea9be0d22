#include "platform/checked_io.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/safe_file.h"

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif

namespace trovix::platform {
namespace {

// The fault plan of a test, and how far the writes since it was set have come.
struct FaultState {
    std::optional<WriteFault> fault;
    int steps = 0;
    qint64 bytes = 0;
    bool writeFailed = false;
};
FaultState g_faults;

}  // namespace

void setWriteFaultForTesting(std::optional<WriteFault> fault) {
    g_faults = FaultState{fault, 0, 0, false};
}

int checkedStepsForTesting() {
    return g_faults.steps;
}

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

bool stepFails() {
    const int step = g_faults.steps++;
    return g_faults.fault && g_faults.fault->failAtSteps.contains(step);
}

bool checkedOpen(QFile& file, QIODevice::OpenMode mode, QString& error,
                 std::optional<QFileDevice::Permissions> permissions) {
    errno = 0;
    if (stepFails()) {
        error = diskFullReason();
        return false;
    }
    if (!(permissions ? file.open(mode, *permissions) : file.open(mode))) {
        error = reasonOf(file, errno);
        return false;
    }
    return true;
}

bool checkedWrite(QFileDevice& file, const char* data, qint64 size, QString& error,
                  WriteKind kind) {
    const bool newContent = kind == WriteKind::NewContent;
    qint64 allowed = size;
    if ((newContent && g_faults.writeFailed) || stepFails()) {
        g_faults.writeFailed = g_faults.writeFailed || newContent;
        allowed = 0;
    } else if (newContent && g_faults.fault && g_faults.fault->bytesAccepted >= 0) {
        allowed = std::clamp<qint64>(g_faults.fault->bytesAccepted - g_faults.bytes, 0, size);
    }
    qint64 done = 0;
    while (done < allowed) {
        errno = 0;
        const qint64 n = file.write(data + done, allowed - done);
        if (n <= 0) {
            error = reasonOf(file, errno);
            return false;
        }
        done += n;
    }
    if (newContent) {
        g_faults.bytes += done;
    }
    if (allowed < size) {
        g_faults.writeFailed = g_faults.writeFailed || newContent;
        error = diskFullReason();
        return false;
    }
    return true;
}

bool checkedFlush(QFileDevice& file, QString& error) {
    errno = 0;
    if (stepFails()) {
        error = diskFullReason();
        return false;
    }
    if (!file.flush()) {
        error = reasonOf(file, errno);
        return false;
    }
    return true;
}

bool checkedSync(QFileDevice& file, QString& error) {
    if (stepFails()) {
        error = diskFullReason();
        return false;
    }
#ifdef Q_OS_UNIX
    if (::fsync(file.handle()) != 0 && errno != EINVAL && errno != ENOTSUP) {
        error = systemReason(errno);
        return false;
    }
#else
    Q_UNUSED(file);
    Q_UNUSED(error);
#endif
    return true;
}

bool checkedResize(QFileDevice& file, qint64 size, QString& error) {
    errno = 0;
    if (stepFails()) {
        error = diskFullReason();
        return false;
    }
    if (!file.resize(size)) {
        error = reasonOf(file, errno);
        return false;
    }
    return true;
}

bool checkedSyncFolder(const QString& folder, QString& error) {
    if (stepFails()) {
        error = diskFullReason();
        return false;
    }
#ifdef Q_OS_UNIX
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
    if (fd < 0) {
        error = systemReason(errno);
        return false;
    }
    const bool synced = ::fsync(fd) == 0 || errno == EINVAL || errno == ENOTSUP;
    const int syncError = errno;
    ::close(fd);
    if (!synced) {
        error = systemReason(syncError);
        return false;
    }
#else
    Q_UNUSED(folder);
    Q_UNUSED(error);
#endif
    return true;
}

}  // namespace io
}  // namespace trovix::platform
