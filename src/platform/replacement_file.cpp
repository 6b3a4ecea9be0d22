#include "platform/replacement_file.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QScopeGuard>
#include <cerrno>
#include <filesystem>

#include "platform/disk.h"
#include "platform/renames.h"

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>
#endif
#ifdef Q_OS_LINUX
#include <sys/syscall.h>
#endif

namespace trovix::platform {

struct ReplacementFile::Handle {
    QFile file;
};

namespace {

WriteFailure changedMeanwhile() {
    return {QCoreApplication::translate("ReplacementFile",
                                        "Another program changed it after Trovix read it."),
            true, true};
}

#ifdef Q_OS_UNIX

WriteFailure systemFailure(int error) {
    return {io::systemReason(error)};
}

Result<void, WriteFailure> renamed(const QByteArray& from, const QByteArray& to) {
    if (::rename(from.constData(), to.constData()) != 0) {
        return systemFailure(errno);
    }
    return {};
}

// Whether a file made without a name can be given one later (through /proc).
bool unnamedFilesCanBeNamed() {
#ifdef Q_OS_LINUX
    return ::access("/proc/self/fd", X_OK) == 0;
#else
    return false;
#endif
}

#endif

}  // namespace

ReplacementFile::ReplacementFile(const QString& target) : target_(target) {
}

QString ReplacementFile::temporaryNameFor(const QString& target) {
    // Hidden, and telling whose it is.
    const QFileInfo info(target);
    return info.absolutePath() +
           QStringLiteral("/.%1.trovix-%2")
               .arg(info.fileName())
               .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
}

bool ReplacementFile::isTemporaryName(const QString& fileName) {
    static const QRegularExpression name(QStringLiteral("^\\..+\\.trovix-[0-9a-f]{8}$"));
    return name.match(fileName).hasMatch();
}

ReplacementFile::~ReplacementFile() {
    cancel();
}

bool ReplacementFile::isOpen() const {
    return handle_ && handle_->file.isOpen();
}

QFileDevice& ReplacementFile::device() {
    Q_ASSERT(handle_);
    return handle_->file;
}

#ifdef Q_OS_UNIX

Result<void> ReplacementFile::open() {
    cancel();
    const QByteArray folder = QFile::encodeName(QFileInfo(target_).absolutePath());
    struct stat old {};
    const bool replaces =
        ::stat(QFile::encodeName(target_).constData(), &old) == 0 && S_ISREG(old.st_mode);
    // The old file's permissions are given once the file is made; a new file gets what the
    // user's umask allows.
    const mode_t mode = replaces ? 0600 : 0666;
    int fd = -1;
#ifdef O_TMPFILE
    // A file without a name leaves nothing behind should the program die while writing it.
    if (unnamedFilesCanBeNamed()) {
        fd = ::open(folder.constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
    }
#endif
    for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
        temporary_ = ReplacementFile::temporaryNameFor(target_);
        fd = ::open(QFile::encodeName(temporary_).constData(),
                    O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, mode);
        if (fd < 0 && errno != EEXIST) {
            break;
        }
    }
    if (fd < 0) {
        const int error = errno;
        temporary_.clear();
        return fail(io::systemReason(error));
    }
    if (replaces && ::fchmod(fd, old.st_mode & 07777) != 0) {
        const int error = errno;
        ::close(fd);
        cancel();
        return fail(io::systemReason(error));
    }
    handle_ = std::make_unique<Handle>();
    if (!handle_->file.open(fd, QIODevice::WriteOnly | QIODevice::Unbuffered,
                            QFileDevice::AutoCloseHandle)) {
        const QString reason = handle_->file.errorString();
        ::close(fd);
        cancel();
        return fail(reason);
    }
    return {};
}

Result<void, WriteFailure> ReplacementFile::commit(const std::optional<FileStamp>& expected) {
    if (!isOpen()) {
        return WriteFailure{
            QCoreApplication::translate("ReplacementFile", "Nothing was prepared.")};
    }
    if (const Result<QString> named = name(); !named) {
        return WriteFailure{named.error()};
    }
    Result<void, WriteFailure> replaced = replace(expected);
    if (replaced) {
        committed_ = fileStamp(handle_->file);
        temporary_.clear();
        handle_.reset();
    }
    return replaced;
}

Result<void, WriteFailure> ReplacementFile::replace(const std::optional<FileStamp>& expected) {
    const QByteArray from = QFile::encodeName(temporary_);
    const QByteArray to = QFile::encodeName(target_);
    if (!expected) {
        return renamed(from, to);
    }
    if (!expected->exists) {
        switch (renameUnlessTaken(from, to)) {
            case Renamed::Done:
                return {};
            case Renamed::Failed:
                return errno == EEXIST ? changedMeanwhile() : systemFailure(errno);
            case Renamed::Unsupported:
                break;
        }
        if (fileStamp(target_).exists) {  // checked as late as this system allows
            return changedMeanwhile();
        }
        return renamed(from, to);
    }
    // The file is held, without being read, so that what comes out of the exchange can be
    // checked against it.
#ifdef O_PATH
    const int held = ::open(to.constData(), O_PATH | O_CLOEXEC);
#else
    const int held = ::open(to.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
#endif
    if (held < 0) {
        return errno == ENOENT ? changedMeanwhile() : systemFailure(errno);
    }
    const auto release = qScopeGuard([held] { ::close(held); });
    if (fileStampOfHandle(held) != *expected) {
        return changedMeanwhile();
    }
    switch (exchangeNames(from, to)) {
        case Renamed::Done:
            break;
        case Renamed::Failed:
            return systemFailure(errno);
        case Renamed::Unsupported:
            return renamed(from, to);  // checked just before
    }
    // The old file now stands at the temporary name. It must be the file held, unchanged but
    // for the time of the rename; otherwise another program's write came in between, and its
    // file goes back in place.
    const FileStamp out = fileStamp(temporary_);
    const FileStamp heldNow = fileStampOfHandle(held);
    if (out.device == heldNow.device && out.inode == heldNow.inode &&
        heldNow.sameFileAs(*expected)) {
        ::unlink(from.constData());
        return {};
    }
    if (exchangeNames(from, to) != Renamed::Done) {
        const QString kept = temporary_;
        temporary_.clear();  // it holds the other program's file now: never removed
        handle_.reset();
        return WriteFailure{QCoreApplication::translate(
                                "ReplacementFile",
                                "Another program changed it while Trovix saved it, and its version "
                                "could not be put back in place. It is kept as %1.")
                                .arg(kept),
                            false};
    }
    return changedMeanwhile();
}

Result<QString> ReplacementFile::name(const QString& as) {
    if (!isOpen()) {
        return fail(QCoreApplication::translate("ReplacementFile", "Nothing was prepared."));
    }
    if (temporary_.isEmpty()) {
        // The file made without a name gets one beside the target.
        const QByteArray self = "/proc/self/fd/" + QByteArray::number(handle_->file.handle());
        int error = EEXIST;
        for (int attempt = 0; error == EEXIST && attempt < (as.isEmpty() ? 100 : 1); ++attempt) {
            temporary_ = as.isEmpty() ? temporaryNameFor(target_) : as;
            error = ::linkat(AT_FDCWD, self.constData(), AT_FDCWD,
                             QFile::encodeName(temporary_).constData(), AT_SYMLINK_FOLLOW) == 0
                        ? 0
                        : errno;
        }
        if (error != 0) {
            temporary_.clear();
            return fail(io::systemReason(error));
        }
    }
    return temporary_;
}

void ReplacementFile::release() {
    handle_.reset();
    temporary_.clear();
}

void ReplacementFile::cancel() {
    handle_.reset();
    if (!temporary_.isEmpty()) {
        ::unlink(QFile::encodeName(temporary_).constData());
        temporary_.clear();
    }
}

#else

Result<void> ReplacementFile::open() {
    cancel();
    handle_ = std::make_unique<Handle>();
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary_ = temporaryNameFor(target_);
        handle_->file.setFileName(temporary_);
        if (handle_->file.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered)) {
            return {};
        }
        if (!QFileInfo::exists(temporary_)) {
            break;
        }
    }
    const QString reason = handle_->file.errorString();
    handle_.reset();
    temporary_.clear();
    return fail(reason);
}

Result<void, WriteFailure> ReplacementFile::commit(const std::optional<FileStamp>& expected) {
    if (!isOpen()) {
        return WriteFailure{
            QCoreApplication::translate("ReplacementFile", "Nothing was prepared.")};
    }
    Result<void, WriteFailure> replaced = replace(expected);
    if (replaced) {
        committed_ = fileStamp(target_);
        temporary_.clear();
        handle_.reset();
    }
    return replaced;
}

Result<void, WriteFailure> ReplacementFile::replace(const std::optional<FileStamp>& expected) {
    // Checked as late as this system allows: just before the rename.
    if (expected && fileStamp(target_) != *expected) {
        return changedMeanwhile();
    }
    handle_->file.close();
    std::error_code error;
    std::filesystem::rename(std::filesystem::path(temporary_.toStdWString()),
                            std::filesystem::path(target_.toStdWString()), error);
    if (error) {
        return WriteFailure{QString::fromStdString(error.message())};
    }
    return {};
}

Result<QString> ReplacementFile::name(const QString&) {
    if (!isOpen()) {
        return fail(QCoreApplication::translate("ReplacementFile", "Nothing was prepared."));
    }
    return temporary_;
}

void ReplacementFile::release() {
    handle_.reset();
    temporary_.clear();
}

void ReplacementFile::cancel() {
    handle_.reset();
    if (!temporary_.isEmpty()) {
        QFile::remove(temporary_);
        temporary_.clear();
    }
}

#endif

}  // namespace trovix::platform
