#pragma once

#include <sys/resource.h>

#include <QByteArray>
#include <QFile>

namespace trovix::testing {

// The address space this process holds, from /proc/self/status; -1 when unknown.
inline qint64 addressSpaceInUse() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly)) {
        for (QByteArray line = status.readLine(); !line.isEmpty(); line = status.readLine()) {
            if (line.startsWith("VmSize:")) {
                return line.mid(7).trimmed().split(' ').value(0).toLongLong() * 1024;
            }
        }
    }
    return -1;
}

// Lets this process take only `more` bytes of address space beyond what it holds.
inline bool limitAddressSpace(qint64 more) {
    const rlimit limit{static_cast<rlim_t>(addressSpaceInUse() + more), RLIM_INFINITY};
    return addressSpaceInUse() > 0 && setrlimit(RLIMIT_AS, &limit) == 0;
}

// The address sanitizer reserves more address space than any such limit allows.
#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool kAddressSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
inline constexpr bool kAddressSanitizer = true;
#else
inline constexpr bool kAddressSanitizer = false;
#endif
#else
inline constexpr bool kAddressSanitizer = false;
#endif

}  // namespace trovix::testing
