#include "platform/renames.h"

#include <QtGlobal>
#include <cerrno>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>
#endif
#ifdef Q_OS_LINUX
#include <sys/syscall.h>
#endif

namespace trovix::platform {
namespace {

[[maybe_unused]] Renamed renamedBy(bool done) {
    if (done) {
        return Renamed::Done;
    }
    return errno == EINVAL || errno == ENOSYS || errno == ENOTSUP || errno == EOPNOTSUPP
               ? Renamed::Unsupported
               : Renamed::Failed;
}

}  // namespace

// Exchanges what two names stand for, in one step.
Renamed exchangeNames(const QByteArray& a, const QByteArray& b) {
#if defined(Q_OS_LINUX) && defined(SYS_renameat2)
    constexpr unsigned kExchange = 1U << 1;  // RENAME_EXCHANGE
    return renamedBy(
        ::syscall(SYS_renameat2, AT_FDCWD, a.constData(), AT_FDCWD, b.constData(), kExchange) == 0);
#elif defined(Q_OS_DARWIN)
    return renamedBy(::renamex_np(a.constData(), b.constData(), RENAME_SWAP) == 0);
#else
    Q_UNUSED(a);
    Q_UNUSED(b);
    errno = ENOSYS;
    return Renamed::Unsupported;
#endif
}

// Renames `from` to `to` in one step unless something stands at `to`.
Renamed renameUnlessTaken(const QByteArray& from, const QByteArray& to) {
#if defined(Q_OS_LINUX) && defined(SYS_renameat2)
    constexpr unsigned kNoReplace = 1U << 0;  // RENAME_NOREPLACE
    return renamedBy(::syscall(SYS_renameat2, AT_FDCWD, from.constData(), AT_FDCWD, to.constData(),
                               kNoReplace) == 0);
#elif defined(Q_OS_DARWIN)
    return renamedBy(::renamex_np(from.constData(), to.constData(), RENAME_EXCL) == 0);
#else
    Q_UNUSED(from);
    Q_UNUSED(to);
    errno = ENOSYS;
    return Renamed::Unsupported;
#endif
}

}  // namespace trovix::platform
