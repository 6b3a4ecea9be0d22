#include "platform/system_disk.h"

#include "platform/renames.h"
#include "platform/replacement_file.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <cerrno>
#include <cstring>
#include <filesystem>

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
    // Qt's words for no reason at all, in English or in Qt's translation of them.
    static const char* const kUnknown = "Unknown error";  // not shown: Qt's own text
    const QString qt = file.errorString();
    if (!qt.isEmpty() && qt != QLatin1String(kUnknown) &&
        qt != QCoreApplication::translate("QIODevice", kUnknown)) {
        return qt;
    }
    return systemReason(savedErrno != 0 ? savedErrno : EIO);
}

}  // namespace io

Result<void> SystemDisk::open(QFile& file, QIODevice::OpenMode mode,
                              std::optional<QFileDevice::Permissions> permissions) {
    errno = 0;
    if (!(permissions ? file.open(mode, *permissions) : file.open(mode))) {
        return fail(io::reasonOf(file, errno));
    }
    return {};
}

Result<void> SystemDisk::openReplacement(ReplacementFile& file) {
    return file.open();
}

Result<void> SystemDisk::write(QFileDevice& file, const char* data, qint64 size, WriteKind) {
    qint64 done = 0;
    while (done < size) {
        errno = 0;
        const qint64 n = file.write(data + done, size - done);
        if (n <= 0) {
            return fail(io::reasonOf(file, errno));
        }
        done += n;
    }
    return {};
}

Result<void> SystemDisk::flush(QFileDevice& file) {
    errno = 0;
    if (!file.flush()) {
        return fail(io::reasonOf(file, errno));
    }
    return {};
}

Result<void> SystemDisk::sync(QFileDevice& file) {
#ifdef Q_OS_UNIX
    if (::fsync(file.handle()) != 0 && errno != EINVAL && errno != ENOTSUP) {
        return fail(io::systemReason(errno));
    }
#else
    Q_UNUSED(file);
#endif
    return {};
}

Result<void> SystemDisk::resize(QFileDevice& file, qint64 size) {
    errno = 0;
    if (!file.resize(size)) {
        return fail(io::reasonOf(file, errno));
    }
    return {};
}

Result<void> SystemDisk::moveToTrash(const QString& file) {
    // The trash lives in the user's data folder, which Qt does not make: without it, Qt would
    // put the file in a "files" folder of the working folder instead.
    QDir().mkpath(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
    const QString path = QFileInfo(file).absoluteFilePath();
    QFile moved(path);
    if (!moved.moveToTrash()) {
        return fail(QCoreApplication::translate("SystemDisk", "the desktop has no trash for it"));
    }
    if (QFileInfo(moved.fileName()).isRelative()) {
        QFile::rename(moved.fileName(), path);  // not the trash: put back
        return fail(QCoreApplication::translate("SystemDisk", "the desktop has no trash for it"));
    }
    return {};
}

Result<void> SystemDisk::syncFolder(const QString& folder) {
#ifdef Q_OS_UNIX
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
    if (fd < 0) {
        return fail(io::systemReason(errno));
    }
    const bool synced = ::fsync(fd) == 0 || errno == EINVAL || errno == ENOTSUP;
    const int syncError = errno;
    ::close(fd);
    if (!synced) {
        return fail(io::systemReason(syncError));
    }
#else
    Q_UNUSED(folder);
#endif
    return {};
}

Result<void, RenameFailure> SystemDisk::rename(const QString& from, const QString& to,
                                               RenameKind kind) {
    const QByteArray a = QFile::encodeName(from);
    const QByteArray b = QFile::encodeName(to);
    Renamed done = Renamed::Failed;
    switch (kind) {
        case RenameKind::Exchange:
            done = exchangeNames(a, b);
            break;
        case RenameKind::IfFree:
            done = renameUnlessTaken(a, b);
            break;
        case RenameKind::Over:
#ifdef Q_OS_UNIX
            done = ::rename(a.constData(), b.constData()) == 0 ? Renamed::Done : Renamed::Failed;
#else
            std::error_code error;
            std::filesystem::rename(std::filesystem::path(from.toStdWString()),
                                    std::filesystem::path(to.toStdWString()), error);
            errno = error.value();
            done = error ? Renamed::Failed : Renamed::Done;
#endif
            break;
    }
    if (done == Renamed::Done) {
        return {};
    }
    return RenameFailure{io::systemReason(errno), done == Renamed::Unsupported};
}

Result<void, WriteFailure> SystemDisk::commitReplacement(ReplacementFile& file,
                                                         const std::optional<FileStamp>& expected) {
    return file.commit(expected);
}

}  // namespace trovix::platform
