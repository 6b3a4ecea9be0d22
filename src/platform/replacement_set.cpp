#include "platform/replacement_set.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "platform/disk.h"
#include "platform/file_lock.h"
#include "platform/headed_file.h"
#include "platform/private_folder.h"
#include "platform/replacement_file.h"
#include "platform/save_journal.h"

namespace trovix::platform {
namespace {

const QByteArray kKind = QByteArrayLiteral("Trovix replacement set 1");
const QString kSuffix = QStringLiteral(".set");
// A set whose new files are all in place: only its old files are left to remove.
const QString kDoneSuffix = QStringLiteral(".set-done");

// A file's identity as a journal keeps it: "device:inode", or "none" for no file.
QByteArray identity(const FileStamp& stamp) {
    return stamp.exists ? QByteArray::number(stamp.device) + ':' + QByteArray::number(stamp.inode)
                        : QByteArrayLiteral("none");
}
bool isFile(const QString& path, const QByteArray& id) {
    return id != "none" && identity(fileStamp(path)) == id;
}

QByteArray encoded(const QString& path) {
    return QFile::encodeName(path).toPercentEncoding();
}
QString decoded(const QByteArray& field) {
    return QFile::decodeName(QByteArray::fromPercentEncoding(field));
}

// One file of a set, as the journal names it.
struct Entry {
    QString target;
    QString temporary;  // the new file, until it is in place; the old one after an exchange
    QString aside;      // the old file, where no exchange was possible
    QByteArray newFile;
    QByteArray oldFile;  // "none" when the target did not exist
};

// Puts the old file of an entry back in place, or takes the new one away where there was none.
// True when the target holds its old content again (or, for none, no file).
bool putBack(Disk& disk, const Entry& entry, QString& reason) {
    if (entry.oldFile == "none") {
        if (isFile(entry.target, entry.newFile) && !QFile::remove(entry.target)) {
            reason = QCoreApplication::translate("ReplacementSet", "%1 could not be removed.")
                         .arg(entry.target);
            return false;
        }
    } else if (!isFile(entry.target, entry.oldFile)) {
        QString old;
        for (const QString& place : {entry.aside, entry.temporary}) {
            if (isFile(place, entry.oldFile)) {
                old = place;
            }
        }
        if (old.isEmpty()) {
            reason = QCoreApplication::translate("ReplacementSet",
                                                 "The content %1 held before is no longer there.")
                         .arg(QDir::toNativeSeparators(entry.target));
            return false;
        }
        if (const Result<void, RenameFailure> moved =
                disk.rename(old, entry.target, RenameKind::Over);
            !moved) {
            reason = moved.error();
            return false;
        }
    }
    for (const QString& place : {entry.aside, entry.temporary}) {
        if (isFile(place, entry.newFile)) {
            QFile::remove(place);
        }
    }
    return true;
}

// Removes the old file of an entry whose new file is in place.
void removeOld(const Entry& entry) {
    for (const QString& place : {entry.aside, entry.temporary}) {
        if (isFile(place, entry.oldFile)) {
            QFile::remove(place);
        }
    }
}

// A journal names each file's entry by its number: "target0", "temporary0", ...
QByteArray journalHead(const QList<Entry>& entries) {
    HeadedFields fields;
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const QByteArray n = QByteArray::number(i);
        const Entry& e = entries[i];
        fields.append({"target" + n, encoded(e.target)});
        fields.append({"temporary" + n, encoded(e.temporary)});
        fields.append({"aside" + n, encoded(e.aside)});
        fields.append({"new" + n, e.newFile});
        fields.append({"old" + n, e.oldFile});
    }
    return headedFileHead(kKind, fields, {});
}

// The entries of a journal, in order; nothing when it is damaged.
std::optional<QList<Entry>> readJournal(QFile& file) {
    const std::optional<HeadedFile> journal = readHeadedFile(file.readAll(), kKind);
    if (!journal) {
        return std::nullopt;
    }
    QList<Entry> entries;
    for (int i = 0; journal->fields.contains("target" + QByteArray::number(i)); ++i) {
        const QByteArray n = QByteArray::number(i);
        entries.append({decoded(journal->fields.value("target" + n)),
                        decoded(journal->fields.value("temporary" + n)),
                        decoded(journal->fields.value("aside" + n)),
                        journal->fields.value("new" + n), journal->fields.value("old" + n)});
    }
    return entries;
}

}  // namespace

struct ReplacementSet::Member {
    QString target;
    std::unique_ptr<ReplacementFile> file;
};

ReplacementSet::ReplacementSet(Disk& disk) : disk_(disk) {
}

ReplacementSet::~ReplacementSet() = default;

Result<void, WriteFailure> ReplacementSet::prepare(const QString& target,
                                                   const ContentWriter& content) {
    auto member = std::make_unique<Member>();
    member->target = QFileInfo(fileBehindLinks(target)).absoluteFilePath();
    const PathKind kind = pathKind(member->target);
    if (kind != PathKind::Missing && kind != PathKind::RegularFile) {
        return WriteFailure{notRegularFileReason(kind)};
    }
    member->file = std::make_unique<ReplacementFile>(member->target);
    if (const Result<void> opened = disk_.openReplacement(*member->file); !opened) {
        return WriteFailure{opened.error()};
    }
    QFileDevice& out = member->file->device();
    const Result<void> written = content(out);
    QString error = written.error();
    if (!written || !io::stepDone(disk_.flush(out), error) ||
        !io::stepDone(disk_.sync(out), error)) {
        return WriteFailure{error.isEmpty() ? out.errorString() : error};
    }
    members_.push_back(std::move(member));
    return {};
}

Result<void, WriteFailure> ReplacementSet::commit() {
    // The new files get their names only once the journal names them: a kill before leaves
    // nothing behind.
    QList<Entry> entries;
    for (const std::unique_ptr<Member>& member : members_) {
        const QString named = member->file->temporaryName();
        entries.append({member->target,
                        named.isEmpty() ? ReplacementFile::temporaryNameFor(member->target) : named,
                        ReplacementFile::temporaryNameFor(member->target),
                        identity(fileStamp(member->file->device())),
                        identity(fileStamp(member->target))});
    }
    // The journal is on the disk, and locked while this set runs, before any file changes.
    const QString folder = rollbackFolder();
    if (const Result<void> made = makePrivateFolder(folder); !made) {
        return WriteFailure{made.error()};
    }
    static int made = 0;
    QFile journal(folder + QStringLiteral("/replace-%1-%2-%3%4")
                               .arg(QCoreApplication::applicationPid())
                               .arg(QDateTime::currentMSecsSinceEpoch())
                               .arg(++made)
                               .arg(kSuffix));
    const QByteArray head = journalHead(entries);
    QString error;
    if (!io::stepDone(
            disk_.open(journal, QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered,
                       QFileDevice::ReadOwner | QFileDevice::WriteOwner),
            error) ||
        !lockAlone(journal.handle()) ||
        !io::stepDone(disk_.write(journal, head.constData(), head.size(), WriteKind::RollbackCopy),
                      error) ||
        !io::stepDone(disk_.sync(journal), error) ||
        !io::stepDone(disk_.syncFolder(folder), error)) {
        journal.remove();
        return WriteFailure{
            QCoreApplication::translate("ReplacementSet",
                                        "The journal of the files to replace could not be "
                                        "written to %1: %2")
                .arg(QDir::toNativeSeparators(folder),
                     error.isEmpty() ? journal.errorString() : error)};
    }
    // From here on the files are the set's: none is removed when a member goes.
    for (qsizetype i = 0; i < entries.size() && error.isEmpty(); ++i) {
        error = members_[static_cast<std::size_t>(i)]->file->name(entries[i].temporary).error();
    }
    for (const std::unique_ptr<Member>& member : members_) {
        member->file->release();
    }
    qsizetype placed = 0;
    for (; placed < entries.size() && error.isEmpty(); ++placed) {
        const Entry& e = entries[placed];
        if (e.oldFile == "none") {
            const Result<void, RenameFailure> moved =
                disk_.rename(e.temporary, e.target, RenameKind::IfFree);
            error = moved.error();
            continue;
        }
        Result<void, RenameFailure> moved =
            disk_.rename(e.temporary, e.target, RenameKind::Exchange);
        if (!moved && moved.failure().unsupported) {
            // The old file goes aside first: for a moment the name stands empty.
            moved = disk_.rename(e.target, e.aside, RenameKind::Over);
            if (moved) {
                moved = disk_.rename(e.temporary, e.target, RenameKind::IfFree);
            }
        }
        error = moved.error();
    }
    if (error.isEmpty()) {
        Result<void, RenameFailure> done =
            disk_.rename(journal.fileName(), journal.fileName() + kDoneSuffix.mid(kSuffix.size()),
                         RenameKind::Over);
        error = done.error();
        if (done) {
            (void)disk_.syncFolder(folder);
            for (const Entry& e : entries) {
                removeOld(e);
            }
            QFile::remove(journal.fileName() + kDoneSuffix.mid(kSuffix.size()));
            members_.clear();
            return {};
        }
    }
    // Every file put in place so far gets its old file back.
    QStringList notBack;
    for (qsizetype i = entries.size() - 1; i >= 0; --i) {
        QString why;
        if (!putBack(disk_, entries[i], why)) {
            notBack << why;
        }
    }
    members_.clear();
    if (!notBack.isEmpty()) {
        return WriteFailure{QCoreApplication::translate(
                                "ReplacementSet",
                                "%1\n\nThe files already replaced could not all be put back:\n"
                                "%2\nThe next start of Trovix tries again.")
                                .arg(error, notBack.join(u'\n')),
                            false};
    }
    journal.remove();
    return WriteFailure{error};
}

QList<InterruptedSave> recoverInterruptedSets(Disk& disk) {
    QList<InterruptedSave> told;
    const QDir folder(rollbackFolder());
    if (!checkPrivateFolder(folder.path())) {
        return told;
    }
    const QStringList names =
        folder.entryList({QLatin1Char('*') + kSuffix, QLatin1Char('*') + kDoneSuffix},
                         QDir::Files | QDir::Hidden, QDir::Name);
    for (const QString& name : names) {
        const QString path = folder.filePath(name);
        QFile journal(path);
        if (!isOwnRegularFile(path) || !journal.open(QIODevice::ReadOnly) ||
            !lockAlone(journal.handle())) {
            continue;  // another user's, or a set that is still running
        }
        const std::optional<QList<Entry>> entries = readJournal(journal);
        if (!entries) {
            QFile::remove(path);  // cut short while written: no file was touched yet
            continue;
        }
        const bool done = name.endsWith(kDoneSuffix);
        bool allBack = true;
        for (const Entry& e : *entries) {
            if (done) {
                removeOld(e);
                continue;
            }
            const bool wasReplaced = isFile(e.target, e.newFile) ||
                                     (e.oldFile != "none" && !isFile(e.target, e.oldFile));
            QString why;
            if (!putBack(disk, e, why)) {
                allBack = false;
                told.append({InterruptedSave::Outcome::NotRestored, e.target, why, path});
            } else if (wasReplaced) {
                told.append({InterruptedSave::Outcome::SetUndone, e.target, {}, {}});
            }
        }
        if (allBack) {
            QFile::remove(path);
        }
    }
    return told;
}

}  // namespace trovix::platform
