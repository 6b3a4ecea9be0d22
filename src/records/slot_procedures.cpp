#include "records/slot_procedures.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <new>
#include <utility>

#include "lists/listing.h"
#include "platform/file_names.h"
#include "platform/native.h"
#include "records/reading_with_progress.h"
#include "state/defaults.h"
#include "store/data_file_io.h"

namespace trovix::records {
namespace {

using platform::PathKind;

void tellUser(const lists::FileContext& files, const QString& text) {
    files.services.messages->show(text, QString(), platform::MessageButtons::Ok,
                                  platform::MessageIcon::Warning);
}

// Asks before a save replaces what the slot did not read; true to go on.
bool confirm(const lists::FileContext& files, const QString& text, const QString& goOn) {
    return files.services.messages->choose(
               text, QCoreApplication::translate("SlotProcedures", "Save"),
               {goOn, QCoreApplication::translate("SlotProcedures", "Cancel")},
               platform::MessageIcon::Warning) == 0;
}

// The slot's file for a question: its name, and where it is a symbolic link, the file behind it,
// which is the one a save writes.
QString describedFile(const QString& name, const QString& target) {
    if (target == name) {
        return QStringLiteral("\"%1\"").arg(name);
    }
    return QCoreApplication::translate("SlotProcedures", "\"%1\" (a symbolic link to \"%2\")")
        .arg(name, target);
}

// Why a save of `name` must not replace what stands there; empty for a regular file or nothing.
// Only a regular file, or a link to one, is ever replaced.
QString notARegularFile(const QString& name, const QString& target, PathKind kind) {
    if (kind == PathKind::RegularFile || kind == PathKind::Missing ||
        kind == PathKind::DanglingLink) {
        return {};
    }
    if (target == name || kind == PathKind::LinkLoop) {
        return QCoreApplication::translate(
                   "SlotProcedures",
                   "It is %1, not a regular file. Trovix saves only into regular files and never "
                   "replaces anything else.")
            .arg(platform::describePathKind(kind));
    }
    return QCoreApplication::translate(
               "SlotProcedures",
               "It is a symbolic link to \"%1\", which is %2, not a regular file. Trovix saves "
               "only into regular files and never replaces anything else.")
        .arg(target, platform::describePathKind(kind));
}

// What happened to the file since the slot read it, in words; empty for nothing. Another list of
// this window that holds the same file and saved it is told apart from another program.
QString changeSinceRead(const lists::FileContext& files, lists::SlotId id,
                        const platform::FileStamp& now, const QString& file) {
    const lists::FileSlot& slot = files.slot(id);
    const platform::FileStamp& read = slot.expectedFile();
    if (read == now) {
        return {};
    }
    for (const lists::SlotId other : lists::kAllSlots) {
        const lists::FileSlot& saver = files.slot(other);
        if (other != id && now.exists && saver.disk().savedStamp == now) {
            return QCoreApplication::translate(
                       "SlotProcedures",
                       "The data file %1 was saved from list %2 of this window after list %3 "
                       "read it.")
                .arg(file, QString::number(lists::listNumber(other)),
                     QString::number(lists::listNumber(id)));
        }
    }
    if (!read.exists) {
        if (slot.disk().foundKind != PathKind::Missing &&
            slot.disk().foundKind != PathKind::DanglingLink) {
            return QCoreApplication::translate(
                       "SlotProcedures",
                       "When Trovix read %1, it was %2. Another program has put a file there "
                       "since.")
                .arg(file, platform::describePathKind(slot.disk().foundKind));
        }
        return QCoreApplication::translate(
                   "SlotProcedures",
                   "A file %1 was made by another program after Trovix found none there.")
            .arg(file);
    }
    if (!now.exists) {
        return QCoreApplication::translate(
                   "SlotProcedures",
                   "The data file %1 was deleted by another program after Trovix read it.")
            .arg(file);
    }
    return QCoreApplication::translate(
               "SlotProcedures",
               "The data file %1 was changed by another program after Trovix read it.")
        .arg(file);
}

// The question whether to save `fileName` as UTF-8 because its encoding lacks `c`: the character
// itself in quotes where it shows as a mark of its own, its code otherwise (a space, a control or
// a combining character).
QString encodingQuestion(const QString& fileName, const QString& encoding, char32_t c) {
    const QChar::Category category = QChar::category(c);
    const bool shows = QChar::isPrint(c) && !QChar::isSpace(c) &&
                       category != QChar::Mark_NonSpacing && category != QChar::Mark_Enclosing &&
                       category != QChar::Mark_SpacingCombining;
    if (shows) {
        return QCoreApplication::translate(
                   "SlotProcedures",
                   "%1 is saved in %2, which cannot hold '%3'. Save the whole file as UTF-8?")
            .arg(fileName, encoding, QString::fromUcs4(&c, 1));
    }
    return QCoreApplication::translate("SlotProcedures",
                                       "%1 is saved in %2, which cannot hold the character U+%3. "
                                       "Save the whole file as UTF-8?")
        .arg(fileName, encoding,
             QString::number(static_cast<uint>(c), 16).toUpper().rightJustified(4, u'0'));
}

// Asks before a character the file's encoding lacks changes the whole file to UTF-8; true to go
// on, with `format` then UTF-8.
bool agreeToEncoding(const lists::FileContext& files, const lists::FileSlot& slot,
                     store::FileFormat& format) {
    const std::optional<char32_t> lacking =
        store::firstCharacterEncodingLacks(slot.records, format.encoding);
    if (!lacking) {
        return true;
    }
    const bool utf8 =
        files.services.messages->choose(
            encodingQuestion(slot.fileName, store::encodingName(format.encoding), *lacking),
            QCoreApplication::translate("SlotProcedures", "Save"),
            {QCoreApplication::translate("SlotProcedures", "Save as UTF-8"),
             QCoreApplication::translate("SlotProcedures", "Cancel")},
            platform::MessageIcon::Question) == 0;
    if (utf8) {
        format.encoding = store::Encoding::Utf8;
    }
    return utf8;
}

// A file too large for the memory left is not taken into the slot, and its name is not kept:
// the slot goes back to the file it held before, or, at start-up, to its usual file. So the
// next start does not meet the same file again.
void refuse(const lists::FileContext& files, lists::SlotId id, const QString& reason) {
    lists::FileSlot& slot = files.slot(id);
    const QString refused = slot.fileName;
    const int list = lists::listNumber(id);
    if (!slot.readName.isEmpty()) {
        slot.fileName = slot.readName;
        tellUser(files, QCoreApplication::translate(
                            "SlotProcedures",
                            "The data file \"%1\" was not opened:\n%2\n\nList %3 keeps "
                            "the records of \"%4\".")
                            .arg(refused, reason, QString::number(list), slot.fileName));
        return;
    }
    const QString usual = files.programFolder + platform::nativeFolderSeparator() +
                          QString::fromLatin1(kDefaultDataFiles[static_cast<int>(id)]);
    tellUser(files, QCoreApplication::translate(
                        "SlotProcedures",
                        "The data file \"%1\" was not opened:\n%2\n\nList %3 shows "
                        "\"%4\" in its place.")
                        .arg(refused, reason, QString::number(list), usual));
    if (usual != refused) {
        slot.fileName = usual;
        loadFile(files, id);
        return;
    }
    // The usual file itself is too large: the slot stays empty and is never saved over it.
    slot.disk().unreadable = true;
    slot.records.clear();
    loadArray(slot, files.listing);
}

// Moves the conflict copies whose records the slot's file now holds to the trash. A copy that
// changed since its records were taken in, or that cannot be moved, stays, and the user is told.
void trashTakenCopies(const lists::FileContext& files, lists::FileSlot& slot) {
    QStringList left;
    for (const lists::TakenCopy& copy : std::exchange(slot.takenCopies, {})) {
        if (platform::fileStamp(copy.path) != copy.stamp) {
            if (QFileInfo::exists(copy.path)) {
                left.append(QCoreApplication::translate(
                                "SlotProcedures",
                                "\"%1\" changed after its records were merged, so it "
                                "was left where it is.")
                                .arg(copy.path));
            }
            continue;
        }
        if (const platform::Result<void> trashed = files.services.disk->moveToTrash(copy.path);
            !trashed) {
            left.append(
                QCoreApplication::translate("SlotProcedures",
                                            "\"%1\" could not be moved to the trash: %2\nIt was "
                                            "left where it is.")
                    .arg(copy.path, trashed.error()));
        }
    }
    if (!left.isEmpty()) {
        tellUser(files, QCoreApplication::translate(
                            "SlotProcedures",
                            "%1 was saved with the records of its conflict copies, "
                            "but not every copy went to the trash:\n\n%2")
                            .arg(slot.fileName, left.join(u'\n')));
    }
}

}  // namespace

void loadFile(const lists::FileContext& files, lists::SlotId id) {
    lists::FileSlot& slot = files.slot(id);
    slot.rememberedInstead.clear();
    // Read as a missing file unless the name can be read.
    platform::Result<store::ReadFile, store::ReadFailure> read =
        store::ReadFile{store::missingFileContent(), PathKind::Missing, {}};
    if (const QString unusable = platform::unusableNameReason(slot.fileName); !unusable.isEmpty()) {
        // What the name reaches is another file than the one it stands for: none is read.
        tellUser(files, QCoreApplication::translate("SlotProcedures",
                                                    "The data file \"%1\" cannot be read:\n%2")
                            .arg(platform::displayFileName(slot.fileName), unusable));
    } else {
        read = readWithProgress(files, slot.fileName);
        if (!read && read.failure().cancelled) {
            leaveUnread(files, id);
            return;
        }
        if (!read && read.failure().refused) {
            refuse(files, id, read.error());
            return;
        }
    }
    if (!read) {
        slot.disk().unreadable = true;
        tellUser(files,
                 QCoreApplication::translate("SlotProcedures",
                                             "The data file \"%1\" could not be read:\n%2\n\n"
                                             "Its records are not shown, and it will not be saved "
                                             "over until it has been read.")
                     .arg(slot.fileName, read.error()));
        return;
    }
    store::ReadFile& file = *read;
    if (file.kind != PathKind::RegularFile && file.kind != PathKind::Missing &&
        file.kind != PathKind::DanglingLink) {
        tellUser(files,
                 QCoreApplication::translate("SlotProcedures",
                                             "The data file \"%1\" cannot be read: it is %2, not a "
                                             "regular file.")
                     .arg(slot.fileName, platform::describePathKind(file.kind)));
    }
    slot.disk().unreadable = false;
    slot.records = std::move(file.content.records);
    slot.format = file.content.format;
    slot.matchFile(file.stamp);
    slot.disk().foundKind = file.kind;
    slot.readName = slot.fileName;
    try {
        loadArray(slot, files.listing);
    } catch (const std::bad_alloc&) {
        slot.list.clear();  // the records are there; a search lists fewer at a time
        tellUser(files, QCoreApplication::translate(
                            "SlotProcedures",
                            "The records of \"%1\" were read, but there is not enough "
                            "memory to list them all.")
                            .arg(slot.fileName));
    }
}

void loadArray(lists::FileSlot& slot, const lists::ListingOptions& options) {
    slot.shownSearch.clear();
    lists::listAllRecords(slot.list, slot.records, slot.fileName, options);
}

platform::Result<void, NotSaved> writeSlot(const lists::FileContext& files, lists::SlotId id) {
    lists::FileSlot& slot = files.slot(id);
    if (slot.disk().unreadable) {
        return NotSaved{QCoreApplication::translate(
            "SlotProcedures", "It could not be read, so saving would overwrite its records.")};
    }
    if (const QString unusable = platform::unusableNameReason(slot.fileName); !unusable.isEmpty()) {
        return NotSaved{unusable};
    }
    const QString target = platform::fileBehindLinks(slot.fileName);
    if (const QString refused =
            notARegularFile(slot.fileName, target, platform::pathKind(slot.fileName));
        !refused.isEmpty()) {
        return NotSaved{refused};
    }
    // What stands at the name is replaced only when it is the file this slot read, or the user
    // agreed to replace what another program put there; that is checked again at the moment
    // the new file takes its place.
    const QString described = describedFile(slot.fileName, target);
    // A file that is there to read can also be merged with the records instead of replaced.
    bool mergeWanted = false;
    const auto agreedFile = [&]() -> std::optional<platform::FileStamp> {
        const platform::FileStamp now = platform::fileStamp(target);
        const QString change = changeSinceRead(files, id, now, described);
        if (change.isEmpty()) {
            return now;
        }
        const QString saveAnyway = QCoreApplication::translate("SlotProcedures", "Save Anyway");
        if (!now.exists) {
            return confirm(files,
                           QCoreApplication::translate(
                               "SlotProcedures",
                               "%1\n\nSaving replaces it with the records shown here.")
                               .arg(change),
                           saveAnyway)
                       ? std::optional<platform::FileStamp>(now)
                       : std::nullopt;
        }
        const int choice = files.services.messages->choose(
            QCoreApplication::translate("SlotProcedures",
                                        "%1\n\nSaving replaces it with the records shown here. "
                                        "Merge takes its records in with yours and saves nothing.")
                .arg(change),
            QCoreApplication::translate("SlotProcedures", "Save"),
            {QCoreApplication::translate("SlotProcedures", "Merge"), saveAnyway,
             QCoreApplication::translate("SlotProcedures", "Cancel")},
            platform::MessageIcon::Warning);
        mergeWanted = choice == 0;
        return choice == 1 ? std::optional<platform::FileStamp>(now) : std::nullopt;
    };
    const std::optional<platform::FileStamp> agreed = agreedFile();
    if (!agreed) {
        return NotSaved{{}, true, true, mergeWanted};
    }
    store::FileFormat format = slot.format;
    if (!agreeToEncoding(files, slot, format)) {
        return NotSaved{{}, true, true};
    }
    const platform::Result<store::SavedFile, platform::WriteFailure> saved =
        store::saveDataFile(*files.services.disk, slot.fileName, slot.records, format,
                            store::Replacing{*agreed, agreedFile});
    if (!saved) {
        const platform::WriteFailure& failure = saved.failure();
        return NotSaved{failure.changedMeanwhile ? QString() : failure.reason, failure.unchanged,
                        failure.changedMeanwhile, mergeWanted};
    }
    slot.format = saved->format;
    slot.matchFile(saved->stamp);
    slot.disk().savedStamp = saved->stamp;
    slot.disk().foundKind = PathKind::RegularFile;
    trashTakenCopies(files, slot);
    return {};
}

QString saveFailureText(const QString& fileName, const QString& reason) {
    return QCoreApplication::translate("SlotProcedures",
                                       "The data file \"%1\" could not be saved:\n%2")
        .arg(fileName, reason);
}

platform::Result<void, NotSaved> saveFile(const lists::FileContext& files, lists::SlotId id) {
    platform::Result<void, NotSaved> saved = writeSlot(files, id);
    if (!saved && !saved.failure().declined) {
        const QString failure = saveFailureText(files.slot(id).fileName, saved.error());
        tellUser(
            files,
            saved.failure().unchanged
                ? QCoreApplication::translate(
                      "SlotProcedures", "%1\n\nThe file is unchanged and your changes are kept.")
                      .arg(failure)
                : QCoreApplication::translate("SlotProcedures", "%1\n\nYour changes are kept.")
                      .arg(failure));
    }
    return saved;
}

void expandListData(lists::FileSlots& slots, bool displayFileNames) {
    for (lists::FileSlot& slot : slots) {
        lists::expandList(slot.list, slot.records, slot.fileName, displayFileNames);
    }
}

void contractListData(lists::FileSlots& slots, bool displayFileNames) {
    for (lists::FileSlot& slot : slots) {
        lists::contractList(slot.list, slot.records, slot.fileName, displayFileNames);
    }
}

}  // namespace trovix::records
