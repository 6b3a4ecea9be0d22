#include "platform/path_info.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <cerrno>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace trovix::platform {

PathKind pathKind(const QString& path) {
    if (path.isEmpty()) {
        return PathKind::Missing;
    }
#ifdef Q_OS_UNIX
    const QByteArray name = QFile::encodeName(path);
    struct stat st {};
    if (::stat(name.constData(), &st) != 0) {
        if (errno == ELOOP) {
            return PathKind::LinkLoop;
        }
        struct stat link {};
        if (::lstat(name.constData(), &link) == 0 && S_ISLNK(link.st_mode)) {
            return PathKind::DanglingLink;
        }
        return PathKind::Missing;
    }
    if (S_ISREG(st.st_mode)) {
        return PathKind::RegularFile;
    }
    if (S_ISDIR(st.st_mode)) {
        return PathKind::Folder;
    }
    if (S_ISFIFO(st.st_mode)) {
        return PathKind::NamedPipe;
    }
    if (S_ISSOCK(st.st_mode)) {
        return PathKind::Socket;
    }
    return PathKind::Device;
#else
    const QFileInfo info(path);
    if (info.isSymLink() && !info.exists()) {
        return PathKind::DanglingLink;
    }
    if (!info.exists()) {
        return PathKind::Missing;
    }
    if (info.isDir()) {
        return PathKind::Folder;
    }
    return info.isFile() ? PathKind::RegularFile : PathKind::Device;
#endif
}

QString describePathKind(PathKind kind) {
    switch (kind) {
        case PathKind::Missing:
            return QCoreApplication::translate("PathInfo", "missing");
        case PathKind::RegularFile:
            return QCoreApplication::translate("PathInfo", "a regular file");
        case PathKind::Folder:
            return QCoreApplication::translate("PathInfo", "a folder");
        case PathKind::NamedPipe:
            return QCoreApplication::translate("PathInfo", "a named pipe");
        case PathKind::Socket:
            return QCoreApplication::translate("PathInfo", "a socket");
        case PathKind::Device:
            return QCoreApplication::translate("PathInfo", "a device");
        case PathKind::LinkLoop:
            return QCoreApplication::translate("PathInfo",
                                               "a symbolic link that leads back to itself");
        case PathKind::DanglingLink:
            return QCoreApplication::translate("PathInfo",
                                               "a symbolic link to a file that does not exist");
    }
    return {};
}

QString notRegularFileReason(PathKind kind) {
    switch (kind) {
        case PathKind::Missing:
            return QCoreApplication::translate("PathInfo", "It is missing, not a regular file.");
        case PathKind::RegularFile:
            return {};
        case PathKind::Folder:
            return QCoreApplication::translate("PathInfo", "It is a folder, not a regular file.");
        case PathKind::NamedPipe:
            return QCoreApplication::translate("PathInfo",
                                               "It is a named pipe, not a regular file.");
        case PathKind::Socket:
            return QCoreApplication::translate("PathInfo", "It is a socket, not a regular file.");
        case PathKind::Device:
            return QCoreApplication::translate("PathInfo", "It is a device, not a regular file.");
        case PathKind::LinkLoop:
            return QCoreApplication::translate(
                "PathInfo", "It is a symbolic link that leads back to itself, not a regular file.");
        case PathKind::DanglingLink:
            return QCoreApplication::translate(
                "PathInfo",
                "It is a symbolic link to a file that does not exist, not a regular file.");
    }
    return {};
}

#ifdef Q_OS_UNIX
namespace {
FileStamp stampOf(const struct stat& st) {
    FileStamp stamp;
    stamp.exists = true;
    stamp.size = st.st_size;
    stamp.modified = qint64{st.st_mtim.tv_sec} * 1000000000 + st.st_mtim.tv_nsec;
    stamp.device = st.st_dev;
    stamp.inode = st.st_ino;
    stamp.statusChanged = qint64{st.st_ctim.tv_sec} * 1000000000 + st.st_ctim.tv_nsec;
    return stamp;
}
}  // namespace
#endif

FileStamp fileStamp(const QString& path) {
#ifdef Q_OS_UNIX
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? stampOf(st) : FileStamp{};
#else
    const QFileInfo info(path);
    if (!info.exists()) {
        return {};
    }
    return {true, info.size(), info.lastModified().toMSecsSinceEpoch() * 1000000, 0, 0, 0};
#endif
}

FileStamp fileStamp(const QFileDevice& file) {
#ifdef Q_OS_UNIX
    return fileStampOfHandle(file.handle());
#else
    return fileStamp(file.fileName());
#endif
}

FileStamp fileStampOfHandle(int handle) {
#ifdef Q_OS_UNIX
    struct stat st {};
    return ::fstat(handle, &st) == 0 ? stampOf(st) : FileStamp{};
#else
    Q_UNUSED(handle);
    return {};
#endif
}

QString fileBehindLinks(const QString& path) {
    QString current = path;
    // Links may lead to links; more than 40 in a row means they go round in a circle.
    for (int hop = 0; hop < 40; ++hop) {
        const QFileInfo info(current);
        if (!info.isSymLink()) {
            return current;
        }
        current = info.symLinkTarget();
    }
    return path;
}

}  // namespace trovix::platform
