#include "platform/save_journal.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <cerrno>
#include <optional>

#include "platform/disk.h"
#include "platform/file_lock.h"
#include "platform/headed_file.h"
#include "platform/private_folder.h"
#include "platform/replacement_set.h"
#include "platform/safe_file.h"

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace trovix::platform {
namespace {

// Rollback copies of version 2 are files of headed_file.h, whose hash covers the head and the
// old content; those of version 1 held a hash of the old content in a field of its own.
const QByteArray kKind = QByteArrayLiteral("Trovix rollback copy 2");
const QByteArray kKindVersion1 = QByteArrayLiteral("Trovix rollback copy 1");
const QString kSuffix = QStringLiteral(".rollback");
// A header is a few short lines and one path.
constexpr qint64 kLongestHeader = 64 * 1024;

QByteArray hashOf(QByteArrayView bytes) {
    return QCryptographicHash::hash(bytes, QCryptographicHash::Blake2b_256).toHex();
}

// The copy's header: what was being saved where, and how to tell the new content.
struct Header {
    QString file;
    quint64 device = 0;
    quint64 inode = 0;
    qint64 newSize = -1;
    QByteArray newHash;
    qsizetype contentAt = 0;  // where the old content starts in the copy
};

QByteArray headerBytes(const Header& header, QByteArrayView oldContent) {
    return headedFileHead(kKind,
                          {{"file", QFile::encodeName(header.file).toPercentEncoding()},
                           {"device", QByteArray::number(header.device)},
                           {"inode", QByteArray::number(header.inode)},
                           {"new-size", QByteArray::number(header.newSize)},
                           {"new-hash", header.newHash}},
                          oldContent);
}

// The header of a copy whose first bytes, or (`whole`) all of it, are `bytes`; nothing when the
// copy is damaged or was cut short while it was written.
std::optional<Header> parseHeader(QByteArrayView bytes, bool whole) {
    std::optional<HeadedFile> head = readHeadedFile(bytes, kKind, whole);
    if (!head) {
        head = readFirstVersionHead(bytes, kKindVersion1);
        const QByteArrayView old = head ? bytes.sliced(head->contentAt) : QByteArrayView();
        if (head && whole &&
            (numberField(*head, "old-size") != old.size() ||
             head->fields.value("old-hash") != hashOf(old))) {
            return std::nullopt;
        }
    }
    if (!head) {
        return std::nullopt;
    }
    Header header;
    header.file = QFile::decodeName(QByteArray::fromPercentEncoding(head->fields.value("file")));
    header.device = static_cast<quint64>(numberField(*head, "device").value_or(-1));
    header.inode = static_cast<quint64>(numberField(*head, "inode").value_or(-1));
    header.newSize = numberField(*head, "new-size").value_or(-1);
    header.newHash = head->fields.value("new-hash");
    header.contentAt = head->contentAt;
    if (header.file.isEmpty() || header.newSize < 0 || header.newHash.isEmpty()) {
        return std::nullopt;
    }
    return header;
}

// The rollback copies this user left; none when the folder is not a private folder of theirs.
QStringList rollbackCopies() {
    const QDir folder(rollbackFolder());
    QStringList paths;
    if (!checkPrivateFolder(folder.path())) {
        return paths;
    }
    for (const QString& name :
         folder.entryList({QLatin1Char('*') + kSuffix}, QDir::Files | QDir::Hidden, QDir::Name)) {
        if (isOwnRegularFile(folder.filePath(name))) {
            paths << folder.filePath(name);
        }
    }
    return paths;
}

// A name for a new file in the rollback folder that no file has yet.
QString unusedName(const QString& folder, const QString& stem) {
    QString path = folder + QLatin1Char('/') + stem;
    for (int n = 2; QFileInfo::exists(path); ++n) {
        path = folder + QStringLiteral("/%1 (%2)").arg(stem).arg(n);
    }
    return path;
}

// Puts old content of a file that was replaced since into a plain file of its own.
Result<QString> keepOnItsOwn(Disk& disk, const QString& file, QByteArrayView content) {
    QString error;
    const QString name = QFileInfo(file).fileName() +
                         QStringLiteral(" (before a save that was cut short)");  // a file name
    QFile kept(unusedName(rollbackFolder(), name));
    if (!io::stepDone(
            disk.open(kept, QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered,
                      QFileDevice::ReadOwner | QFileDevice::WriteOwner),
            error) ||
        !io::stepDone(disk.write(kept, content.data(), content.size(), WriteKind::RollbackCopy),
                      error) ||
        !io::stepDone(disk.sync(kept), error)) {
        if (kept.isOpen()) {
            kept.remove();
        }
        return fail(error);
    }
    return kept.fileName();
}

// Undoes the save that left the rollback copy at `path`, if it was cut short.
std::optional<InterruptedSave> recover(Disk& disk, const QString& path) {
    QFile copy(path);
    if (!copy.open(QIODevice::ReadOnly) || !lockAlone(copy.handle())) {
        return std::nullopt;  // a save that is still running, or nothing this user may read
    }
    const QByteArray bytes = copy.readAll();
    const std::optional<Header> header = parseHeader(bytes, true);
    const QByteArrayView old =
        header ? QByteArrayView(bytes).sliced(header->contentAt) : QByteArrayView();
    if (!header) {
        // The copy was cut short while it was written: the file was not touched yet.
        QFile::remove(path);
        return std::nullopt;
    }
    const FileStamp stamp = fileStamp(header->file);
    if (pathKind(header->file) != PathKind::RegularFile || stamp.device != header->device ||
        stamp.inode != header->inode) {
        const Result<QString> kept = keepOnItsOwn(disk, header->file, old);
        if (!kept) {
            return InterruptedSave{
                InterruptedSave::Outcome::NotRestored, header->file,
                QCoreApplication::translate("SaveJournal",
                                            "It was removed or replaced since, and its old "
                                            "content could not be copied out: %1")
                    .arg(kept.error()),
                path};
        }
        QFile::remove(path);
        return InterruptedSave{
            InterruptedSave::Outcome::ReplacedMeanwhile, header->file, *kept, {}};
    }
    const Result<QByteArray> now = readWholeFile(header->file);
    QString error = now.error();
    if (now) {
        if (*now == old || (now->size() == header->newSize && hashOf(*now) == header->newHash)) {
            QFile::remove(path);  // the save had not begun to change the file, or it had ended
            return std::nullopt;
        }
        QFile file(header->file);
        if (io::stepDone(
                disk.open(file, QIODevice::ReadWrite | QIODevice::Unbuffered, std::nullopt),
                error)) {
            const Result<void> putBack =
                putBackOldContent(disk, file, QByteArray::fromRawData(old.data(), old.size()));
            if (putBack) {
                QFile::remove(path);
                return InterruptedSave{InterruptedSave::Outcome::Restored, header->file, {}, {}};
            }
            error = putBack.error();
        }
    }
    return InterruptedSave{InterruptedSave::Outcome::NotRestored, header->file, error, path};
}

}  // namespace

QString rollbackFolder() {
#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN)
    QString base = qEnvironmentVariable("XDG_STATE_HOME");
    if (base.isEmpty() || QDir::isRelativePath(base)) {
        base = QDir::homePath() + QStringLiteral("/.local/state");
    }
    return base + QStringLiteral("/Trovix");
#else
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/Trovix/state");
#endif
}

RollbackCopy::~RollbackCopy() {
    unlock();
}

void RollbackCopy::unlock() {
#ifdef Q_OS_UNIX
    if (lockHandle_ >= 0) {
        ::close(lockHandle_);
    }
#endif
    lockHandle_ = -1;
}

Result<void> RollbackCopy::write(const QString& target, const QByteArray& oldContent,
                                 const QByteArray& newContent) {
    const QString folder = rollbackFolder();
    if (Result<void> made = makePrivateFolder(folder); !made) {
        return made;
    }
    Header header;
    header.file = QFileInfo(target).absoluteFilePath();
    const FileStamp stamp = fileStamp(target);
    header.device = stamp.device;
    header.inode = stamp.inode;
    header.newSize = newContent.size();
    header.newHash = hashOf(newContent);
    const QByteArray head = headerBytes(header, oldContent);

    static int made = 0;
    QFile copy(unusedName(folder, QStringLiteral("save-%1-%2-%3%4")
                                      .arg(QCoreApplication::applicationPid())
                                      .arg(QDateTime::currentMSecsSinceEpoch())
                                      .arg(++made)
                                      .arg(kSuffix)));
    QString error;
    if (Result<void> opened =
            disk_.open(copy, QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered,
                       QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        !opened) {
        return opened;
    }
    // Locked before its first byte, so that no start-up of another copy takes it for a copy
    // whose save was cut short.
    lockAlone(copy.handle());
    if (!io::stepDone(disk_.write(copy, head.constData(), head.size(), WriteKind::RollbackCopy),
                      error) ||
        !io::stepDone(
            disk_.write(copy, oldContent.constData(), oldContent.size(), WriteKind::RollbackCopy),
            error) ||
        !io::stepDone(disk_.sync(copy), error) || !io::stepDone(disk_.syncFolder(folder), error)) {
        copy.remove();
        return fail(error);
    }
    path_ = copy.fileName();
#ifdef Q_OS_UNIX
    // The lock lives with the open file; keep a handle of it open while the save runs.
    lockHandle_ = ::dup(copy.handle());
#endif
    return {};
}

void RollbackCopy::discard() {
    if (!path_.isEmpty()) {
        QFile::remove(path_);
        path_.clear();
    }
    unlock();
}

Result<void> putBackOldContent(Disk& disk, QFile& file, const QByteArray& old) {
    QString error;
    if (!file.seek(0)) {
        return fail(io::reasonOf(file, errno));
    }
    if (!io::stepDone(disk.write(file, old.constData(), old.size(), WriteKind::PutBack), error) ||
        !io::stepDone(disk.resize(file, old.size()), error) ||
        !io::stepDone(disk.sync(file), error)) {
        return fail(error);
    }
    if (!file.seek(0)) {
        return fail(io::reasonOf(file, errno));
    }
    const QByteArray back = file.readAll();
    if (back != old) {
        return fail(file.error() != QFileDevice::NoError
                        ? io::reasonOf(file, errno)
                        : QCoreApplication::translate("SaveJournal",
                                                      "It does not read back as its old content."));
    }
    return {};
}

QList<InterruptedSave> recoverInterruptedSaves(Disk& disk) {
    QList<InterruptedSave> told = recoverInterruptedSets(disk);
    for (const QString& path : rollbackCopies()) {
        if (std::optional<InterruptedSave> save = recover(disk, path)) {
            told.append(*save);
        }
    }
    return told;
}

void discardRollbackCopiesOf(const QString& file) {
    const QString target = QFileInfo(file).absoluteFilePath();
    for (const QString& path : rollbackCopies()) {
        QFile copy(path);
        if (!copy.open(QIODevice::ReadOnly) || !lockAlone(copy.handle())) {
            continue;
        }
        const std::optional<Header> header = parseHeader(copy.read(kLongestHeader), false);
        if (header && header->file == target) {
            QFile::remove(path);
        }
    }
}

}  // namespace trovix::platform
