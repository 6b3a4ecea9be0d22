#pragma once

#include <sys/resource.h>

#include <QByteArray>
#include <QCoreApplication>
#include <QFile>
#include <QProcess>

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

// Runs one test function of this program again in a child process, with `variable` set to
// `value`; what the child printed, after "exit N: " with its exit code (-1 when it crashed).
inline QString childOutput(const char* variable, const QString& value, const char* function) {
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QString::fromLatin1(variable), value);
    child.setProcessEnvironment(environment);
    child.start(QCoreApplication::applicationFilePath(), {QString::fromLatin1(function)});
    child.waitForFinished(120000);
    const int code = child.exitStatus() == QProcess::NormalExit ? child.exitCode() : -1;
    return QStringLiteral("exit %1: ").arg(code) +
           QString::fromLocal8Bit(child.readAllStandardOutput());
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
