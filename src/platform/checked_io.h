#pragma once

#include <QFile>
#include <QString>
#include <optional>

// The checked file operations the safe writer and its rollback copies are made of, with the
// fault injection of the tests (setWriteFaultForTesting in safe_file.h) built in: every
// operation is a counted step that a test may make fail.
namespace trovix::platform::io {

// What a write is for. A full disk, as a test plans it, stops only the writes of new content:
// rollback copies live on another disk (the per-user state folder), and putting old bytes back,
// or cutting a file short, needs no space that the file did not have.
enum class WriteKind { NewContent, RollbackCopy, PutBack };

QString systemReason(int error);
QString diskFullReason();
// The reason Qt gives for a device's failure, or the system's when Qt has none.
QString reasonOf(const QFileDevice& file, int savedErrno);

// Counts a step; true when the test's plan makes it fail.
bool stepFails();

bool checkedOpen(QFile& file, QIODevice::OpenMode mode, QString& error,
                 std::optional<QFileDevice::Permissions> permissions = std::nullopt);
// Writes all of `data` or says why not.
bool checkedWrite(QFileDevice& file, const char* data, qint64 size, QString& error,
                  WriteKind kind = WriteKind::NewContent);
bool checkedFlush(QFileDevice& file, QString& error);
// Waits until the data is on the disk: some file systems report a full disk only here.
bool checkedSync(QFileDevice& file, QString& error);
bool checkedResize(QFileDevice& file, qint64 size, QString& error);
// Puts a folder's entries (a file just made or removed there) on the disk.
bool checkedSyncFolder(const QString& folder, QString& error);

}  // namespace trovix::platform::io
