#include "platform/regular_file.h"

#include <QCoreApplication>
#include <QFile>
#include <cerrno>
#include <cstring>

#include "platform/safe_file.h"

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace trovix::platform {

Result<void> openRegularFile(QFile& file) {
    const PathKind kind = pathKind(file.fileName());
    if (kind == PathKind::Missing || kind == PathKind::DanglingLink) {
        return fail(QCoreApplication::translate("RegularFile", "It does not exist."));
    }
    if (kind != PathKind::RegularFile) {
        return fail(notRegularFileReason(kind));
    }
#ifdef Q_OS_UNIX
    // Opening a named pipe waits for a writer unless it is opened without waiting; what was a
    // regular file a moment ago may be one now. The descriptor says what was opened.
    const int fd =
        ::open(QFile::encodeName(file.fileName()).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return fail(QString::fromLocal8Bit(std::strerror(errno)));
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return fail(QCoreApplication::translate("RegularFile", "It is not a regular file."));
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return fail(file.errorString());
    }
    return {};
#else
    if (!file.open(QIODevice::ReadOnly)) {
        return fail(file.errorString());
    }
    return {};
#endif
}

}  // namespace trovix::platform
