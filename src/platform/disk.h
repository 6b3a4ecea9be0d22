#pragma once

#include <QFile>
#include <QString>
#include <optional>

#include "platform/path_info.h"
#include "platform/result.h"

namespace trovix::platform {

class ReplacementFile;

// What a write is for. A full disk stops only the writes of new content: rollback copies live
// on another disk (the per-user state folder), and putting old bytes back, or cutting a file
// short, needs no space that the file did not have.
enum class WriteKind { NewContent, RollbackCopy, PutBack };

// How a file is renamed in one step: over whatever stands at the new name, exchanging the two
// names, or only while nothing stands at the new name.
enum class RenameKind { Over, Exchange, IfFree };
// A rename that failed; `unsupported` when the file system has no such rename.
struct RenameFailure {
    QString reason;
    bool unsupported = false;
};

// The file operations that a safe save, its rollback copy and putting old content back are made
// of. Each is checked, and a failure is described with the system's own reason. The system's
// disk does them (SystemDisk); a test's disk may make any of them fail as a full disk or a
// failing device does.
class Disk {
  public:
    virtual ~Disk() = default;

    virtual Result<void> open(QFile& file, QIODevice::OpenMode mode,
                              std::optional<QFileDevice::Permissions> permissions) = 0;
    // Makes the file that takes a file's new content beside it.
    virtual Result<void> openReplacement(ReplacementFile& file) = 0;
    // Writes all of `data` or says why not.
    virtual Result<void> write(QFileDevice& file, const char* data, qint64 size,
                               WriteKind kind) = 0;
    virtual Result<void> flush(QFileDevice& file) = 0;
    // Waits until the data is on the disk: some file systems report a full disk only here.
    virtual Result<void> sync(QFileDevice& file) = 0;
    virtual Result<void> resize(QFileDevice& file, qint64 size) = 0;
    // Puts a folder's entries (a file just made or removed there) on the disk.
    virtual Result<void> syncFolder(const QString& folder) = 0;
    virtual Result<void, RenameFailure> rename(const QString& from, const QString& to,
                                               RenameKind kind) = 0;
    // Moves a file to the desktop's trash, from where the user can take it back.
    virtual Result<void> moveToTrash(const QString& file) = 0;
    // Puts the new file in the file's place; with `expected`, only while the file is still the
    // one that stamp describes (ReplacementFile::commit()).
    virtual Result<void, WriteFailure> commitReplacement(
        ReplacementFile& file, const std::optional<FileStamp>& expected) = 0;
};

namespace io {

QString systemReason(int error);
QString diskFullReason();
// The reason Qt gives for a device's failure, or the system's when Qt has none.
QString reasonOf(const QFileDevice& file, int savedErrno);

// For a chain of steps that stops at the first that fails: whether this step succeeded, and if
// not, its reason kept in `reason` for the chain's failure.
inline bool stepDone(const Result<void>& step, QString& reason) {
    if (!step) {
        reason = step.error();
    }
    return step.ok();
}

}  // namespace io

}  // namespace trovix::platform
