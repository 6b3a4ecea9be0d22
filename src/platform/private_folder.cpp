#include "platform/private_folder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>

#include "platform/disk.h"

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace trovix::platform {
namespace {

QString shown(const QString& folder) {
    return QDir::toNativeSeparators(folder);
}

#ifdef Q_OS_UNIX

// Checks an existing folder through a handle of its own, opened without following a link, and
// closes it to others. A missing folder passes, and says so in `missing`.
Result<void> checkFolder(const QString& folder, bool& missing) {
    missing = false;
    const int fd = ::open(QFile::encodeName(folder).constData(),
                          O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        if (error == ENOENT) {
            missing = true;
            return {};
        }
        struct stat link {};
        if (::lstat(QFile::encodeName(folder).constData(), &link) == 0 && S_ISLNK(link.st_mode)) {
            return fail(QCoreApplication::translate(
                            "PrivateFolder", "%1 is a symbolic link, not a folder of its own.")
                            .arg(shown(folder)));
        }
        if (error == ENOTDIR) {
            return fail(QCoreApplication::translate("PrivateFolder", "%1 is not a folder.")
                            .arg(shown(folder)));
        }
        return fail(QCoreApplication::translate("PrivateFolder", "%1 cannot be opened: %2")
                        .arg(shown(folder), io::systemReason(error)));
    }
    struct stat st {};
    Result<void> checked;
    if (::fstat(fd, &st) != 0) {
        checked = fail(io::systemReason(errno));
    } else if (st.st_uid != ::geteuid()) {
        checked = fail(QCoreApplication::translate("PrivateFolder", "%1 belongs to another user.")
                           .arg(shown(folder)));
    } else if ((st.st_mode & 077) != 0 && ::fchmod(fd, 0700) != 0) {
        checked =
            fail(QCoreApplication::translate("PrivateFolder", "%1 can be read by other users.")
                     .arg(shown(folder)));
    }
    ::close(fd);
    return checked;
}

#endif

}  // namespace

namespace {

// Checks `levels` existing folders from `folder` upwards; a missing one passes.
Result<void> checkLevels(const QString& folder, int levels) {
#ifdef Q_OS_UNIX
    QString at = folder;
    for (int level = 0; level < levels; ++level, at = QFileInfo(at).path()) {
        bool missing = false;
        if (Result<void> checked = checkFolder(at, missing); !checked) {
            return checked;
        }
    }
#else
    Q_UNUSED(folder);
    Q_UNUSED(levels);
#endif
    return {};
}

}  // namespace

Result<void> makePrivateFolder(const QString& folder, int levels) {
    const QString absolute = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
#ifdef Q_OS_UNIX
    // Missing folders are made from the top down, each readable by this user only.
    QStringList missing;
    for (QString at = absolute; !QFileInfo::exists(at) && at != QFileInfo(at).path();
         at = QFileInfo(at).path()) {
        missing.prepend(at);
    }
    for (const QString& make : missing) {
        if (::mkdir(QFile::encodeName(make).constData(), 0700) != 0 && errno != EEXIST) {
            return fail(
                QCoreApplication::translate("PrivateFolder", "The folder %1 cannot be made: %2")
                    .arg(shown(make), io::systemReason(errno)));
        }
    }
#else
    if (!QDir().mkpath(absolute)) {
        return fail(QCoreApplication::translate("PrivateFolder", "The folder %1 cannot be made.")
                        .arg(shown(absolute)));
    }
#endif
    return checkLevels(absolute, levels);
}

Result<void> checkPrivateFolder(const QString& folder, int levels) {
    return checkLevels(QDir::cleanPath(QFileInfo(folder).absoluteFilePath()), levels);
}

bool isOwnRegularFile(const QString& path) {
#ifdef Q_OS_UNIX
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISREG(st.st_mode) &&
           st.st_uid == ::geteuid();
#else
    const QFileInfo info(path);
    return info.isFile() && !info.isSymLink();
#endif
}

}  // namespace trovix::platform
