#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

#include "platform/path_info.h"
#include "platform/result.h"

class QIODevice;

namespace trovix::platform {

class Disk;
class ReplacementFile;

// Produces a file's content into `out`, or says why it cannot.
using ContentWriter = std::function<Result<void>(QIODevice& out)>;
// The content that is these bytes.
ContentWriter bytesContent(const QByteArray& bytes);
// The content of the regular file at `path`, copied a piece at a time, so that a file of any
// size takes little memory.
ContentWriter copiedContent(const QString& path);

// Writes a file so that its old content survives until the new content is complete on disk.
// - Symbolic links are followed: the file they name is written and the links stay.
// - Nothing but a regular file is ever replaced: a folder, a named pipe, a device, a socket or a
//   link that leads back to itself makes the write fail with the reason.
// - Normally the content goes to a temporary file in the same folder, which is flushed and
//   synced to disk and then renamed over the file. The file keeps its permissions and, where
//   the system allows it, its owner.
// - Where no temporary file can be made beside it (a read-only folder holding a writable file),
//   or the owner cannot be kept, a file that may be written is written in place. Its old content
//   goes to a rollback copy in the per-user state folder first (save_journal.h), which is on the
//   disk before the file's first byte changes. Then the part beyond its old end is written, then
//   the rest, and the file is cut to size. When a write fails, the old content is put back at
//   once and read back; the rollback copy stays only when that fails, for the next start.
// Every write, flush, sync, rename and resize goes through `disk`, is checked, and a failure is
// described with the system's own reason.
//
// prepare() writes the content where it waits; commit() puts it in place of the file. Writing
// several files all or nothing means preparing them all before committing any.
class SafeFile {
  public:
    SafeFile(Disk& disk, const QString& path);
    ~SafeFile();  // a prepared write that was not committed is cancelled
    SafeFile(const SafeFile&) = delete;
    SafeFile& operator=(const SafeFile&) = delete;

    // A failure tells whether the file still holds exactly its old bytes: not so only when a
    // failed in-place write could not be undone, and its reason then says where the old
    // content is.
    Result<void, WriteFailure> prepare(const ContentWriter& content);
    // Puts the content in place of the file. With `expected`, only while the file is still the
    // one that stamp describes (a stamp of no file: while there is none); otherwise the file is
    // left as another program left it, the failure says `changedMeanwhile`, and the prepared
    // content stays ready for another commit.
    Result<void, WriteFailure> commit(const std::optional<FileStamp>& expected = std::nullopt);
    void cancel();

    // The file as the last commit left it.
    const FileStamp& committedStamp() const { return committed_; }

  private:
    Result<void, WriteFailure> prepareReplacement(const ContentWriter& content, bool& writeInPlace);
    Result<void, WriteFailure> prepareInPlace(const ContentWriter& content);
    Result<void, WriteFailure> commitInPlace(const std::optional<FileStamp>& expected);

    Disk& disk_;
    QString path_;  // the file behind any links
    std::unique_ptr<ReplacementFile> replacement_;
    bool inPlace_ = false;
    QByteArray newContent_;
    FileStamp committed_;
};

// Prepares and commits one file.
Result<void, WriteFailure> writeFileSafely(Disk& disk, const QString& path,
                                           const ContentWriter& content);

// Reads a regular file whole; a file that is missing, not regular or unreadable is a failure.
Result<QByteArray> readWholeFile(const QString& path);

}  // namespace trovix::platform
