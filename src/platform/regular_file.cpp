#include "platform/regular_file.h"

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

bool openRegularFile(QFile& file, QString& error) {
    const PathKind kind = pathKind(file.fileName());
    if (kind == PathKind::Missing || kind == PathKind::DanglingLink) {
        error = QStringLiteral("It does not exist.");
        return false;
    }
    if (kind != PathKind::RegularFile) {
        error = QStringLiteral("It is %1, not a regular file.").arg(describePathKind(kind));
        return false;
    }
#ifdef Q_OS_UNIX
    // Opening a named pipe waits for a writer unless it is opened without waiting; what was a
    // regular file a moment ago may be one now. The descriptor says what was opened.
    const int fd =
        ::open(QFile::encodeName(file.fileName()).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        error = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        error = QStringLiteral("It is not a regular file.");
        return false;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        error = file.errorString();
        return false;
    }
    return true;
#else
    if (!file.open(QIODevice::ReadOnly)) {
        error = file.errorString();
        return false;
    }
    return true;
#endif
}

}  // namespace trovix::platform
