#include "platform/memory_limits.h"

#include <QCoreApplication>
#include <QFile>
#include <QLocale>
#include <algorithm>
#include <cmath>
#include <optional>

#ifdef Q_OS_UNIX
#include <sys/resource.h>
#endif

namespace trovix::platform {
namespace {

// The number after `key` in a file of "Key: value kB" lines (/proc/meminfo, /proc/self/status),
// in bytes.
std::optional<qint64> kibibytesAfter(const QString& path, QByteArrayView key) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    // These files are small and have no size; read them line by line until the key.
    for (QByteArray line = file.readLine(); !line.isEmpty(); line = file.readLine()) {
        if (line.startsWith(key)) {
            bool ok = false;
            const QByteArray number = line.mid(key.size()).trimmed().split(' ').value(0);
            const qint64 kib = number.toLongLong(&ok);
            return ok ? std::optional<qint64>(kib * 1024) : std::nullopt;
        }
    }
    return std::nullopt;
}

std::optional<qint64> numberIn(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    bool ok = false;
    const qint64 value = file.readLine().trimmed().toLongLong(&ok);  // "max" is no number
    return ok ? std::optional<qint64>(value) : std::nullopt;
}

// The control group v2 folder of this process, from "0::/path" in /proc/self/cgroup.
QString controlGroupFolder() {
    QFile file(QStringLiteral("/proc/self/cgroup"));
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    for (QByteArray line = file.readLine(); !line.isEmpty(); line = file.readLine()) {
        if (line.startsWith("0::")) {
            return QStringLiteral("/sys/fs/cgroup") + QString::fromUtf8(line.mid(3).trimmed());
        }
    }
    return {};
}

// `limitedBy` is a text of the context "MemoryLimits", shown as the reader's language has it.
void narrow(MemoryRoom& room, std::optional<qint64> bytes, const char* limitedBy) {
    if (bytes && *bytes < room.bytes) {
        room.bytes = std::max<qint64>(0, *bytes);
        room.limitedBy = QCoreApplication::translate("MemoryLimits", limitedBy);
    }
}

#ifdef Q_OS_UNIX
// What a resource limit leaves beyond what is in use already; nothing for no limit.
std::optional<qint64> leftUnder(int resource, std::optional<qint64> used) {
    rlimit limit{};
    if (getrlimit(resource, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) {
        return std::nullopt;
    }
    const auto cap = static_cast<qint64>(
        std::min<rlim_t>(limit.rlim_cur, static_cast<rlim_t>(std::numeric_limits<qint64>::max())));
    return cap - used.value_or(0);
}
#endif

}  // namespace

MemoryRoom SystemMemoryLimits::room() const {
    MemoryRoom room;
#ifdef Q_OS_LINUX
    narrow(room, kibibytesAfter(QStringLiteral("/proc/meminfo"), "MemAvailable:"),
           QT_TRANSLATE_NOOP("MemoryLimits", "the physical memory available"));
    const QString group = controlGroupFolder();
    if (!group.isEmpty()) {
        const std::optional<qint64> max = numberIn(group + QStringLiteral("/memory.max"));
        const std::optional<qint64> current = numberIn(group + QStringLiteral("/memory.current"));
        if (max && current) {
            narrow(room, *max - *current,
                   QT_TRANSLATE_NOOP("MemoryLimits",
                                     "the memory limit of this program's control group"));
        }
    }
#endif
#ifdef Q_OS_UNIX
    const QString status = QStringLiteral("/proc/self/status");
    narrow(
        room, leftUnder(RLIMIT_AS, kibibytesAfter(status, "VmSize:")),
        QT_TRANSLATE_NOOP("MemoryLimits", "the address space allowed to this program (ulimit -v)"));
#ifdef RLIMIT_DATA
    narrow(room, leftUnder(RLIMIT_DATA, kibibytesAfter(status, "VmData:")),
           QT_TRANSLATE_NOOP("MemoryLimits", "the data size allowed to this program (ulimit -d)"));
#endif
#endif
    return room;
}

const MemoryLimits& systemMemoryLimits() {
    static const SystemMemoryLimits limits;
    return limits;
}

QString describeBytes(qint64 bytes) {
    // The user's decimal point, and no thousands separator in "1024 KB".
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    constexpr double kKiB = 1024.0;
    const auto value = static_cast<double>(bytes);
    if (value < kKiB * kKiB) {
        return QCoreApplication::translate("MemoryLimits", "%1 KB")
            .arg(locale.toString(std::ceil(value / kKiB), 'f', 0));
    }
    if (value < kKiB * kKiB * kKiB) {
        return QCoreApplication::translate("MemoryLimits", "%1 MB")
            .arg(locale.toString(value / (kKiB * kKiB), 'f', 1));
    }
    return QCoreApplication::translate("MemoryLimits", "%1 GB")
        .arg(locale.toString(value / (kKiB * kKiB * kKiB), 'f', 1));
}

}  // namespace trovix::platform
