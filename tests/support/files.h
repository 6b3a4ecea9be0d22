#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QTest>
#include <future>
#include <optional>
#include <type_traits>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif

namespace trovix::testing {

inline QByteArray readBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

// Whether the file now holds exactly `bytes`; a test checks it where it writes.
[[nodiscard]] inline bool writeBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size() && f.flush();
}

// A file dated this long ago shows any later write by its date.
inline const QDateTime kLongAgo(QDate(2001, 2, 3), QTime(4, 5, 6));

[[nodiscard]] inline bool age(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadWrite) &&
           f.setFileTime(kLongAgo, QFileDevice::FileModificationTime);
}

[[nodiscard]] inline bool aged(const QString& path) {
    return QFileInfo(path).lastModified() == kLongAgo;
}

#ifdef Q_OS_UNIX
// Makes a file by the bytes of its name, which need not be valid text.
[[nodiscard]] inline bool writeByName(const QByteArray& name, const QByteArray& bytes) {
    const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const bool ok = fd >= 0 && ::write(fd, bytes.constData(),
                                       static_cast<std::size_t>(bytes.size())) == bytes.size();
    return fd >= 0 && ::close(fd) == 0 && ok;
}

// Runs `work` on a thread of its own. Should it still wait after five seconds, for a program to
// write into the named pipe `pipe`, a writer that comes and goes ends the wait, and the result
// is none.
template <typename Work>
std::optional<std::invoke_result_t<Work>> withoutWaitingOn(const QString& pipe, Work work) {
    std::future<std::invoke_result_t<Work>> done = std::async(std::launch::async, work);
    if (done.wait_for(std::chrono::seconds(5)) == std::future_status::ready) {
        return done.get();
    }
    while (done.wait_for(std::chrono::milliseconds(100)) != std::future_status::ready) {
        const int writer = ::open(QFile::encodeName(pipe).constData(), O_WRONLY | O_NONBLOCK);
        if (writer >= 0) {
            ::close(writer);
        }
    }
    return std::nullopt;
}
#endif

}  // namespace trovix::testing
