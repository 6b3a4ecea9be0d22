#include "platform/safe_file.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/disk.h"
#include "platform/regular_file.h"
#include "platform/save_journal.h"

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace trovix::platform {

using io::diskFullReason;
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

PathKind pathKind(const QString& path) {
    if (path.isEmpty()) {
        return PathKind::Missing;
    }
#ifdef Q_OS_UNIX
    const QByteArray name = QFile::encodeName(path);
    struct stat st {};
    if (::stat(name.constData(), &st) != 0) {
        if (errno == ELOOP) {
            return PathKind::LinkLoop;
        }
        struct stat link {};
        if (::lstat(name.constData(), &link) == 0 && S_ISLNK(link.st_mode)) {
            return PathKind::DanglingLink;
        }
        return PathKind::Missing;
    }
    if (S_ISREG(st.st_mode)) {
        return PathKind::RegularFile;
    }
    if (S_ISDIR(st.st_mode)) {
        return PathKind::Folder;
    }
    if (S_ISFIFO(st.st_mode)) {
        return PathKind::NamedPipe;
    }
    if (S_ISSOCK(st.st_mode)) {
        return PathKind::Socket;
    }
    return PathKind::Device;
#else
    const QFileInfo info(path);
    if (info.isSymLink() && !info.exists()) {
        return PathKind::DanglingLink;
    }
    if (!info.exists()) {
        return PathKind::Missing;
    }
    if (info.isDir()) {
        return PathKind::Folder;
    }
    return info.isFile() ? PathKind::RegularFile : PathKind::Device;
#endif
}

QString describePathKind(PathKind kind) {
    switch (kind) {
        case PathKind::Missing:
            return QStringLiteral("missing");
        case PathKind::RegularFile:
            return QStringLiteral("a regular file");
        case PathKind::Folder:
            return QStringLiteral("a folder");
        case PathKind::NamedPipe:
            return QStringLiteral("a named pipe");
        case PathKind::Socket:
            return QStringLiteral("a socket");
        case PathKind::Device:
            return QStringLiteral("a device");
        case PathKind::LinkLoop:
            return QStringLiteral("a symbolic link that leads back to itself");
        case PathKind::DanglingLink:
            return QStringLiteral("a symbolic link to a file that does not exist");
    }
    return {};
}

#ifdef Q_OS_UNIX
namespace {
FileStamp stampOf(const struct stat& st) {
    FileStamp stamp;
    stamp.exists = true;
    stamp.size = st.st_size;
    stamp.modified = qint64{st.st_mtim.tv_sec} * 1000000000 + st.st_mtim.tv_nsec;
    stamp.device = st.st_dev;
    stamp.inode = st.st_ino;
    stamp.statusChanged = qint64{st.st_ctim.tv_sec} * 1000000000 + st.st_ctim.tv_nsec;
    return stamp;
}
}  // namespace
#endif

FileStamp fileStamp(const QString& path) {
#ifdef Q_OS_UNIX
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? stampOf(st) : FileStamp{};
#else
    const QFileInfo info(path);
    if (!info.exists()) {
        return {};
    }
    return {true, info.size(), info.lastModified().toMSecsSinceEpoch() * 1000000, 0, 0, 0};
#endif
}

FileStamp fileStamp(const QFileDevice& file) {
#ifdef Q_OS_UNIX
    struct stat st {};
    return ::fstat(file.handle(), &st) == 0 ? stampOf(st) : FileStamp{};
#else
    return fileStamp(file.fileName());
#endif
}

QString fileBehindLinks(const QString& path) {
    QString current = path;
    // Links may lead to links; more than 40 in a row means they go round in a circle.
    for (int hop = 0; hop < 40; ++hop) {
        const QFileInfo info(current);
        if (!info.isSymLink()) {
            return current;
        }
        current = info.symLinkTarget();
    }
    return path;
}

ContentWriter bytesContent(const QByteArray& bytes) {
    return [bytes](QIODevice& out) -> Result<void> {
        if (out.write(bytes) != bytes.size()) {
            return fail(out.errorString());
        }
        return {};
    };
}

SafeFile::SafeFile(Disk& disk, const QString& path) : disk_(disk), path_(fileBehindLinks(path)) {
}

SafeFile::~SafeFile() {
    cancel();
}

void SafeFile::cancel() {
    if (replacement_) {
        replacement_->cancelWriting();
        replacement_.reset();
    }
    inPlace_ = false;
    oldContent_.clear();
    newContent_.clear();
}

Result<void, WriteFailure> SafeFile::prepare(const ContentWriter& content) {
    if (tryPrepare(content)) {
        return {};
    }
    return WriteFailure{error_, unchanged_};
}

Result<void, WriteFailure> SafeFile::commit() {
    if (tryCommit()) {
        return {};
    }
    return WriteFailure{error_, unchanged_};
}

bool SafeFile::tryPrepare(const ContentWriter& content) {
    cancel();
    error_.clear();
    unchanged_ = true;
    const PathKind kind = pathKind(path_);
    if (kind == PathKind::Folder) {
        error_ = QStringLiteral("It is a folder.");
        return false;
    }
    if (kind != PathKind::Missing && kind != PathKind::RegularFile &&
        kind != PathKind::DanglingLink) {
        error_ = QStringLiteral("It is %1, not a regular file.").arg(describePathKind(kind));
        return false;
    }
    if (prepareReplacement(content)) {
        return true;
    }
    // Only a regular file that may be written, in a folder that takes no new file, or whose
    // owner a new file could not keep, is written in place.
    const bool writeInPlace = inPlace_;
    inPlace_ = false;
    return writeInPlace && prepareInPlace(content);
}

bool SafeFile::prepareReplacement(const ContentWriter& content) {
    auto file = std::make_unique<QSaveFile>(path_);
    file->setDirectWriteFallback(false);
    errno = 0;
    const QFileInfo existing(path_);
    if (!disk_.openReplacement(*file)) {
        error_ = file->isOpen() || file->error() == QFileDevice::NoError ? diskFullReason()
                                                                         : reasonOf(*file, errno);
        file->cancelWriting();
        // No new file beside it (a read-only folder, say): a file that may be written is
        // written in place instead.
        inPlace_ = existing.isFile() && existing.isWritable();
        return false;
    }
#ifdef Q_OS_UNIX
    if (existing.isFile() && !keepOwner(*file, path_)) {
        file->cancelWriting();
        inPlace_ = existing.isWritable();
        error_ = QStringLiteral("The file's owner could not be kept.");
        return false;
    }
#endif
    CheckedOutput out(disk_, *file);
    const Result<void> written = content(out);
    QString error = written.error();
    if (!written || !io::stepDone(disk_.flush(*file), error) ||
        !io::stepDone(disk_.sync(*file), error)) {
        error_ = error.isEmpty() ? out.errorString() : error;
        file->cancelWriting();
        return false;
    }
    replacement_ = std::move(file);
    return true;
}

bool SafeFile::prepareInPlace(const ContentWriter& content) {
    error_.clear();
    const Result<QByteArray> old = readWholeFile(path_);
    if (!old) {
        error_ = old.error();
        return false;
    }
    QBuffer buffer(&newContent_);
    buffer.open(QIODevice::WriteOnly);
    if (const Result<void> written = content(buffer); !written) {
        error_ = written.error();
        newContent_.clear();
        return false;
    }
    oldContent_ = *old;
    inPlace_ = true;
    return true;
}

bool SafeFile::tryCommit() {
    error_.clear();
    unchanged_ = true;
    if (inPlace_) {
        const bool ok = commitInPlace();
        cancel();
        if (ok) {
            discardRollbackCopiesOf(path_);
        }
        return ok;
    }
    if (!replacement_) {
        error_ = QStringLiteral("Nothing was prepared.");
        return false;
    }
    errno = 0;
    const bool failed = !disk_.commitReplacement(*replacement_);
    if (failed) {
        error_ = replacement_->error() == QFileDevice::NoError ? diskFullReason()
                                                               : reasonOf(*replacement_, errno);
        replacement_->cancelWriting();
    }
    replacement_.reset();
    if (!failed) {
        discardRollbackCopiesOf(path_);
    }
    return !failed;
}

bool SafeFile::commitInPlace() {
    // The old content goes to a rollback copy on the disk before the file's first byte changes:
    // should the program die while it writes, the next start puts the old content back.
    RollbackCopy rollback(disk_);
    if (const Result<void> copied = rollback.write(path_, oldContent_, newContent_); !copied) {
        error_ = QStringLiteral("Its old content could not be copied to %1 first: %2")
                     .arg(QDir::toNativeSeparators(rollbackFolder()), copied.error());
        return false;
    }
    QString error;
    QFile file(path_);
    if (!io::stepDone(disk_.open(file, QIODevice::ReadWrite | QIODevice::Unbuffered, std::nullopt),
                      error)) {
        error_ = error;
        rollback.discard();
        return false;
    }
    const qint64 oldSize = oldContent_.size();
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
        return true;
    }
    error_ = error.isEmpty() ? reasonOf(file, errno) : error;
    const Result<void> putBack = putBackOldContent(disk_, file, oldContent_);
    if (putBack) {
        rollback.discard();  // the file holds its old bytes, read back and compared
        return false;
    }
    unchanged_ = false;
    error_ += QStringLiteral(
                  "\n\nIts old content could not be put back either: %1\nThe file may be "
                  "damaged. Its old content is kept in %2. When Trovix next starts, it puts "
                  "the old content back, unless the file then holds the old or the new content "
                  "whole.")
                  .arg(putBack.error(), QDir::toNativeSeparators(rollback.path()));
    return false;
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
