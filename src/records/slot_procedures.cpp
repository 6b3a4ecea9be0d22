#include "records/slot_procedures.h"

#include <new>

#include "platform/native.h"
#include "state/defaults.h"
#include "state/main_state.h"
#include "store/listing.h"

namespace trovix::records {
namespace {

using platform::PathKind;

void tellUser(MainState& state, const QString& text) {
    if (state.services.messages != nullptr) {
        state.services.messages->show(text, QString(), platform::MessageButtons::Ok,
                                      platform::MessageIcon::Warning);
    }
}

// Asks before a save replaces what the slot did not read; true to go on.
bool confirm(MainState& state, const QString& text, const QString& goOn) {
    platform::MessageBoxes* messages = state.services.messages;
    return messages != nullptr &&
           messages->choose(text, QStringLiteral("Save"), {goOn, QStringLiteral("Cancel")},
                            platform::MessageIcon::Warning) == 0;
}

// What another program did to the file since the slot read it, in words; empty for nothing.
QString changeByAnotherProgram(const platform::FileStamp& read, const platform::FileStamp& now,
                               const QString& name) {
    if (read == now) {
        return {};
    }
    if (!read.exists) {
        return QStringLiteral(
                   "A file \"%1\" was made by another program after Trovix found "
                   "none there.")
            .arg(name);
    }
    if (!now.exists) {
        return QStringLiteral(
                   "The data file \"%1\" was deleted by another program after Trovix "
                   "read it.")
            .arg(name);
    }
    return QStringLiteral(
               "The data file \"%1\" was changed by another program after Trovix "
               "read it.")
        .arg(name);
}

const platform::MemoryLimits& memoryLimits(const MainState& state) {
    return state.services.memory != nullptr ? *state.services.memory
                                            : platform::systemMemoryLimits();
}

// A file too large for the memory left is not taken into the slot, and its name is not kept:
// the slot goes back to the file it held before, or, at start-up, to its usual file. So the
// next start does not meet the same file again.
void refuse(MainState& state, store::SlotId id, const QString& reason) {
    store::FileSlot& slot = state.slot(id);
    const QString refused = slot.fileName;
    const int list = static_cast<int>(id) + 1;
    if (!slot.readName.isEmpty()) {
        slot.fileName = slot.readName;
        tellUser(state, QStringLiteral("The data file \"%1\" was not opened:\n%2\n\nList %3 keeps "
                                       "the records of \"%4\".")
                            .arg(refused, reason, QString::number(list), slot.fileName));
        return;
    }
    const QString usual = state.programFolder + platform::nativeFolderSeparator() +
                          QString::fromLatin1(kDefaultDataFiles[static_cast<int>(id)]);
    tellUser(state, QStringLiteral("The data file \"%1\" was not opened:\n%2\n\nList %3 shows "
                                   "\"%4\" in its place.")
                        .arg(refused, reason, QString::number(list), usual));
    if (usual != refused) {
        slot.fileName = usual;
        loadFile(state, id);
        return;
    }
    // The usual file itself is too large: the slot stays empty and is never saved over it.
    slot.unreadable = true;
    slot.records.clear();
    loadArray(state, id);
}

}  // namespace

void loadFile(MainState& state, store::SlotId id) {
    store::FileSlot& slot = state.slot(id);
    store::ReadResult read = store::readDataFile(slot.fileName, memoryLimits(state));
    if (read.refused) {
        refuse(state, id, read.error);
        return;
    }
    if (!read.content) {
        slot.unreadable = true;
        tellUser(state, QStringLiteral("The data file \"%1\" could not be read:\n%2\n\n"
                                       "Its records are not shown, and it will not be saved "
                                       "over until it has been read.")
                            .arg(slot.fileName, read.error));
        return;
    }
    if (read.kind != PathKind::RegularFile && read.kind != PathKind::Missing &&
        read.kind != PathKind::DanglingLink) {
        tellUser(state, QStringLiteral("The data file \"%1\" cannot be read: it is %2, not a "
                                       "regular file.")
                            .arg(slot.fileName, platform::describePathKind(read.kind)));
    }
    slot.unreadable = false;
    slot.records = std::move(read.content->records);
    slot.format = read.content->format;
    slot.stamp = read.stamp;
    slot.readName = slot.fileName;
    try {
        loadArray(state, id);
    } catch (const std::bad_alloc&) {
        slot.list.clear();  // the records are there; a search lists fewer at a time
        tellUser(state, QStringLiteral("The records of \"%1\" were read, but there is not enough "
                                       "memory to list them all.")
                            .arg(slot.fileName));
    }
}

void loadArray(MainState& state, store::SlotId id) {
    store::FileSlot& slot = state.slot(id);
    store::listAllRecords(slot.list, slot.records, slot.fileName, state.listingOptions());
}

SlotSave writeSlot(MainState& state, store::SlotId id) {
    store::FileSlot& slot = state.slot(id);
    if (slot.unreadable) {
        return {SaveOutcome::Failed,
                QStringLiteral("It could not be read, so saving would overwrite its records.")};
    }
    platform::SafeWriteOptions options;
    const QString target = platform::fileBehindLinks(slot.fileName);
    const PathKind kind = platform::pathKind(target);
    if (kind != PathKind::RegularFile && kind != PathKind::Missing &&
        kind != PathKind::DanglingLink && kind != PathKind::Folder) {
        if (!confirm(state,
                     QStringLiteral("\"%1\" is %2, not a regular file.\n\nSaving replaces it "
                                    "with a regular file holding the records shown here.")
                         .arg(slot.fileName, platform::describePathKind(kind)),
                     QStringLiteral("Replace It"))) {
            return {SaveOutcome::Declined, {}};
        }
        options.replaceNonRegular = true;
    } else if (const QString change =
                   changeByAnotherProgram(slot.stamp, platform::fileStamp(target), slot.fileName);
               !change.isEmpty() &&
               !confirm(state,
                        change + QStringLiteral("\n\nSaving replaces it with the records "
                                                "shown here."),
                        QStringLiteral("Save Anyway"))) {
        return {SaveOutcome::Declined, {}};
    }
    const store::SaveResult saved =
        store::saveDataFile(slot.fileName, slot.records, slot.format, options);
    if (!saved.ok) {
        return {SaveOutcome::Failed, saved.error};
    }
    slot.format = saved.format;
    slot.stamp = saved.stamp;
    return {SaveOutcome::Saved, {}};
}

QString saveFailureText(const QString& fileName, const QString& reason) {
    return QStringLiteral("The data file \"%1\" could not be saved:\n%2").arg(fileName, reason);
}

bool saveFile(MainState& state, store::SlotId id) {
    const SlotSave saved = writeSlot(state, id);
    if (saved.outcome == SaveOutcome::Failed) {
        tellUser(state, saveFailureText(state.slot(id).fileName, saved.error) +
                            QStringLiteral("\n\nThe file is unchanged and your changes are kept."));
    }
    return saved.outcome == SaveOutcome::Saved;
}

void expandListData(MainState& state) {
    for (store::SlotId id : store::kAllSlots) {
        store::FileSlot& slot = state.slot(id);
        store::expandList(slot.list, slot.records, slot.fileName, state.displayFileNames());
    }
}

void contractListData(MainState& state) {
    for (store::SlotId id : store::kAllSlots) {
        store::FileSlot& slot = state.slot(id);
        store::contractList(slot.list, slot.records, slot.fileName, state.displayFileNames());
    }
}

}  // namespace trovix::records
