#include "platform/safe_file.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/disk.h"
#include "platform/regular_file.h"
#include "platform/replacement_file.h"
#include "platform/save_journal.h"

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace trovix::platform {

using io::reasonOf;

namespace {

// Hands the content writer a device whose every write is checked.
class CheckedOutput : public QIODevice {
  public:
    CheckedOutput(Disk& disk, QFileDevice& file) : disk_(disk), file_(file) {
        QIODevice::open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    }

  protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override {
        QString error;
        if (!io::stepDone(disk_.write(file_, data, size, WriteKind::NewContent), error)) {
            setErrorString(error);
            return -1;
        }
        return size;
    }

  private:
    Disk& disk_;
    QFileDevice& file_;
};

#ifdef Q_OS_UNIX
// Gives the new file the owner of the old one, as far as this user may.
bool keepOwner(QFileDevice& file, const QString& original) {
    struct stat old {};
    if (::stat(QFile::encodeName(original).constData(), &old) != 0) {
        return true;  // a new file belongs to its writer
    }
    struct stat mine {};
    if (::fstat(file.handle(), &mine) != 0) {
        return false;
    }
    if (mine.st_uid == old.st_uid && mine.st_gid == old.st_gid) {
        return true;
    }
    return ::fchown(file.handle(), old.st_uid, old.st_gid) == 0;
}
#endif

}  // namespace

ContentWriter bytesContent(const QByteArray& bytes) {
    return [bytes](QIODevice& out) -> Result<void> {
        if (out.write(bytes) != bytes.size()) {
            return fail(out.errorString());
        }
        return {};
    };
}

ContentWriter copiedContent(const QString& path) {
    return [path](QIODevice& out) -> Result<void> {
        QFile source(path);
        if (const Result<void> opened = openRegularFile(source); !opened) {
            return opened;
        }
        QByteArray piece(1 << 20, Qt::Uninitialized);
        for (;;) {
            const qint64 got = source.read(piece.data(), piece.size());
            if (got < 0) {
                return fail(reasonOf(source, errno));
            }
            if (got == 0) {
                return {};
            }
            if (out.write(piece.constData(), got) != got) {
                return fail(out.errorString());
            }
        }
    };
}

SafeFile::SafeFile(Disk& disk, const QString& path) : disk_(disk), path_(fileBehindLinks(path)) {
}

SafeFile::~SafeFile() {
    cancel();
}

void SafeFile::cancel() {
    replacement_.reset();
    inPlace_ = false;
    newContent_.clear();
}

Result<void, WriteFailure> SafeFile::prepare(const ContentWriter& content) {
    cancel();
    const PathKind kind = pathKind(path_);
    if (kind == PathKind::Folder) {
        return WriteFailure{QCoreApplication::translate("SafeFile", "It is a folder.")};
    }
    if (kind != PathKind::Missing && kind != PathKind::RegularFile &&
        kind != PathKind::DanglingLink) {
        return WriteFailure{notRegularFileReason(kind)};
    }
    bool writeInPlace = false;
    Result<void, WriteFailure> prepared = prepareReplacement(content, writeInPlace);
    // Only a regular file that may be written, in a folder that takes no new file, or whose
    // owner a new file could not keep, is written in place.
    if (!prepared && writeInPlace) {
        return prepareInPlace(content);
    }
    return prepared;
}

Result<void, WriteFailure> SafeFile::prepareReplacement(const ContentWriter& content,
                                                        bool& writeInPlace) {
    auto file = std::make_unique<ReplacementFile>(path_);
    const QFileInfo existing(path_);
    if (const Result<void> opened = disk_.openReplacement(*file); !opened) {
        // No new file beside it (a read-only folder, say): a file that may be written is
        // written in place instead.
        writeInPlace = existing.isFile() && existing.isWritable();
        return WriteFailure{opened.error()};
    }
#ifdef Q_OS_UNIX
    if (existing.isFile() && !keepOwner(file->device(), path_)) {
        writeInPlace = existing.isWritable();
        return WriteFailure{
            QCoreApplication::translate("SafeFile", "The file's owner could not be kept.")};
    }
#endif
    CheckedOutput out(disk_, file->device());
    const Result<void> written = content(out);
    QString error = written.error();
    if (!written || !io::stepDone(disk_.flush(file->device()), error) ||
        !io::stepDone(disk_.sync(file->device()), error)) {
        return WriteFailure{error.isEmpty() ? out.errorString() : error};
    }
    replacement_ = std::move(file);
    return {};
}

Result<void, WriteFailure> SafeFile::prepareInPlace(const ContentWriter& content) {
    const QFileInfo existing(path_);
    if (!existing.isReadable()) {
        return WriteFailure{
            QCoreApplication::translate("SafeFile",
                                        "It cannot be read, so its old content could not "
                                        "be kept while it is written.")};
    }
    QBuffer buffer(&newContent_);
    buffer.open(QIODevice::WriteOnly);
    if (const Result<void> written = content(buffer); !written) {
        newContent_.clear();
        return WriteFailure{written.error()};
    }
    inPlace_ = true;
    return {};
}

Result<void, WriteFailure> SafeFile::commit(const std::optional<FileStamp>& expected) {
    committed_ = {};
    if (inPlace_) {
        Result<void, WriteFailure> done = commitInPlace(expected);
        if (done) {
            cancel();
            discardRollbackCopiesOf(path_);
        }
        return done;
    }
    if (!replacement_) {
        return WriteFailure{QCoreApplication::translate("SafeFile", "Nothing was prepared.")};
    }
    Result<void, WriteFailure> done = disk_.commitReplacement(*replacement_, expected);
    if (done) {
        committed_ = replacement_->committedStamp();
        discardRollbackCopiesOf(path_);
    }
    // A file another program changed meanwhile keeps the replacement ready for another try.
    if (done || !done.failure().changedMeanwhile) {
        replacement_.reset();
    }
    return done;
}

Result<void, WriteFailure> SafeFile::commitInPlace(const std::optional<FileStamp>& expected) {
    QString error;
    QFile file(path_);
    // Opened only if it is there: one removed meanwhile is not made anew.
    if (!io::stepDone(
            disk_.open(file, QIODevice::ReadWrite | QIODevice::Unbuffered | QIODevice::ExistingOnly,
                       std::nullopt),
            error)) {
        if (expected && !QFileInfo::exists(path_)) {
            return WriteFailure{QCoreApplication::translate(
                                    "SafeFile", "Another program removed it after Trovix read it."),
                                true, true};
        }
        return WriteFailure{error};
    }
    // The file opened must be the one the caller read; its old content is read from it.
    if (expected && fileStamp(file) != *expected) {
        return WriteFailure{QCoreApplication::translate(
                                "SafeFile", "Another program changed it after Trovix read it."),
                            true, true};
    }
    const QByteArray oldContent = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        return WriteFailure{reasonOf(file, errno)};
    }
    // The old content goes to a rollback copy on the disk before the file's first byte changes:
    // should the program die while it writes, the next start puts the old content back.
    RollbackCopy rollback(disk_);
    if (const Result<void> copied = rollback.write(path_, oldContent, newContent_); !copied) {
        return WriteFailure{QCoreApplication::translate(
                                "SafeFile", "Its old content could not be copied to %1 first: %2")
                                .arg(QDir::toNativeSeparators(rollbackFolder()), copied.error())};
    }
    const qint64 oldSize = oldContent.size();
    const qint64 newSize = newContent_.size();
    const qint64 common = std::min(oldSize, newSize);
    // The part beyond the old end first: a full disk stops it before any old byte changed.
    const auto step = [&error](const Result<void>& done) { return io::stepDone(done, error); };
    const bool written =
        (newSize <= oldSize || (file.seek(oldSize) &&
                                step(disk_.write(file, newContent_.constData() + oldSize,
                                                 newSize - oldSize, WriteKind::NewContent)) &&
                                step(disk_.sync(file)))) &&
        file.seek(0) &&
        step(disk_.write(file, newContent_.constData(), common, WriteKind::NewContent)) &&
        (newSize >= oldSize || step(disk_.resize(file, newSize))) && step(disk_.sync(file));
    if (written) {
        rollback.discard();
        const FileStamp mine = fileStamp(file);
        const FileStamp there = fileStamp(path_);
        // Another program that put its own file at the name while this one was written keeps
        // it: the records written went to a file that no name reaches any more.
        if (there.device != mine.device || there.inode != mine.inode) {
            return WriteFailure{
                QCoreApplication::translate("SafeFile",
                                            "Another program replaced it while Trovix saved it."),
                true, true};
        }
        committed_ = mine;
        return {};
    }
    error = error.isEmpty() ? reasonOf(file, errno) : error;
    const Result<void> putBack = putBackOldContent(disk_, file, oldContent);
    if (putBack) {
        rollback.discard();  // the file holds its old bytes, read back and compared
        return WriteFailure{error};
    }
    return WriteFailure{
        QCoreApplication::translate(
            "SafeFile",
            "%1\n\nIts old content could not be put back either: %2\nThe file may be "
            "damaged. Its old content is kept in %3. When Trovix next starts, it puts "
            "the old content back, unless the file then holds the old or the new content "
            "whole.")
            .arg(error, putBack.error(), QDir::toNativeSeparators(rollback.path())),
        false};
}

Result<void, WriteFailure> writeFileSafely(Disk& disk, const QString& path,
                                           const ContentWriter& content) {
    SafeFile file(disk, path);
    if (Result<void, WriteFailure> prepared = file.prepare(content); !prepared) {
        return prepared;
    }
    return file.commit();
}

Result<QByteArray> readWholeFile(const QString& path) {
    QFile file(path);
    if (const Result<void> opened = openRegularFile(file); !opened) {
        return opened.failure();
    }
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        return fail(reasonOf(file, errno));
    }
    return bytes;
}

}  // namespace trovix::platform
