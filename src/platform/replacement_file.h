#pragma once

#include <QString>
#include <memory>
#include <optional>

#include "platform/path_info.h"
#include "platform/result.h"

class QFileDevice;

namespace trovix::platform {

// A file's new content, written beside it under another name, that takes the file's place in
// one step once it is complete: a reader sees the old file or the new one, never a mix.
//
// Taking the place can be made conditional: given the stamp of the file the caller read,
// commit() replaces the file only while it is still that file, so another program's write in
// the meantime is never replaced unasked. Where the system can exchange two names in one step
// (Linux, macOS), the names are exchanged, the file that comes out is checked, and it is
// exchanged back when it is not the one expected: no write of another program can slip in
// between the check and the replacement. Elsewhere the file is checked just before it is
// replaced.
class ReplacementFile {
  public:
    explicit ReplacementFile(const QString& target);
    ~ReplacementFile();  // a replacement that did not take the file's place is removed
    ReplacementFile(const ReplacementFile&) = delete;
    ReplacementFile& operator=(const ReplacementFile&) = delete;

    // Makes the new file beside the target, with the target's permissions (a new target's as
    // the user's umask allows).
    Result<void> open();
    bool isOpen() const;
    // Where the new content is written.
    QFileDevice& device();

    // Puts the new file in the target's place. With `expected`, only while the target is still
    // the file that stamp describes (or, for a stamp of no file, while there is none): otherwise
    // nothing changes, the failure says `changedMeanwhile`, and the new file stays ready for
    // another commit.
    Result<void, WriteFailure> commit(const std::optional<FileStamp>& expected);
    // Removes the new file, unless it took the target's place.
    void cancel();

    // For a caller that puts the new file in place itself (ReplacementSet): gives it a name
    // beside the target (`as`, or one of its own choice when empty), and returns it. A file that
    // has a name keeps it.
    Result<QString> name(const QString& as = {});
    // Its name; empty while it has none.
    const QString& temporaryName() const { return temporary_; }
    // Closes the new file and leaves it where it is, under its name.
    void release();

    // The new file as it was put in place.
    const FileStamp& committedStamp() const { return committed_; }

    // A name beside `target` that no file has yet, of the kind a new file takes while it is
    // written; and whether a file's name is of that kind: one left behind by a program that
    // stopped while writing it.
    static QString temporaryNameFor(const QString& target);
    static bool isTemporaryName(const QString& fileName);

  private:
    struct Handle;
    Result<void, WriteFailure> replace(const std::optional<FileStamp>& expected);

    QString target_;
    QString temporary_;  // the new file's name, once it has one
    std::unique_ptr<Handle> handle_;
    FileStamp committed_;
};

}  // namespace trovix::platform
