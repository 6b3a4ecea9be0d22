#include "records/file_maintenance.h"

#include <QFile>
#include <memory>
#include <vector>

#include "lists/listing.h"
#include "records/slot_procedures.h"
#include "state/main_state.h"

namespace trovix::records {
namespace {

const QString kBackupSuffix = QStringLiteral(".old");

// Copies the three files from `from(slot)` to `to(slot)`: every copy is written where it waits
// first, and only when all three are ready do they replace the files, so a failure changes none.
template <typename From, typename To>
bool copyAllOrNothing(MainState& state, const QString& title, From from, To to) {
    std::vector<std::unique_ptr<platform::SafeFile>> copies;
    for (const lists::FileSlot& slot : state.fileSlots) {
        const QString source = from(slot);
        const QString target = to(slot);
        QString error;
        const std::optional<QByteArray> bytes = platform::readWholeFile(source, error);
        bool ok = bytes.has_value();
        if (ok) {
            copies.push_back(std::make_unique<platform::SafeFile>(target));
            ok = copies.back()->prepare(platform::bytesContent(*bytes));
            error = copies.back()->error();
        }
        if (!ok) {
            copies.clear();  // the prepared copies are dropped; no file changed
            if (state.services.messages != nullptr) {
                state.services.messages->show(
                    QStringLiteral("\"%1\" could not be copied to \"%2\":\n%3\n\nNo file was "
                                   "changed.")
                        .arg(source, target, error),
                    title, platform::MessageButtons::Ok, platform::MessageIcon::Warning);
            }
            return false;
        }
    }
    // What the targets hold now, to put back should a copy fail to take its place.
    QList<std::optional<QByteArray>> before;
    for (const lists::FileSlot& slot : state.fileSlots) {
        QString ignored;
        before.append(platform::readWholeFile(to(slot), ignored));
    }
    for (std::size_t i = 0; i < copies.size(); ++i) {
        if (copies[i]->commit()) {
            continue;
        }
        // The failed copy left its file as it was, unless it says otherwise; the files already
        // replaced get their old content back, and what cannot be put back is told.
        QStringList notes;
        if (!copies[i]->fileUnchanged()) {
            notes << QStringLiteral("\"%1\" may be damaged.").arg(to(state.fileSlots[i]));
        }
        for (std::size_t done = 0; done < i; ++done) {
            const QString target = to(state.fileSlots[done]);
            const std::optional<QByteArray>& old = before[static_cast<qsizetype>(done)];
            platform::WriteOutcome putBack;
            if (old) {
                putBack = platform::writeFileSafely(target, platform::bytesContent(*old));
            } else {
                putBack.ok = QFile::remove(target);
                putBack.error = QStringLiteral("It could not be removed.");
            }
            if (!putBack.ok) {
                notes << QStringLiteral(
                             "\"%1\" was already written, and what it held before could not be "
                             "put back:\n%2")
                             .arg(target, putBack.error);
            }
        }
        if (state.services.messages != nullptr) {
            state.services.messages->show(
                QStringLiteral("\"%1\" could not be replaced:\n%2\n\n%3")
                    .arg(to(state.fileSlots[i]), copies[i]->error(),
                         notes.isEmpty() ? QStringLiteral("No file was changed.")
                                         : notes.join(QStringLiteral("\n\n"))),
                title, platform::MessageButtons::Ok, platform::MessageIcon::Warning);
        }
        return false;
    }
    return true;
}

}  // namespace

void compact(MainState& state) {
    state.edits.recordCompaction(QStringLiteral("Compact"), state.fileSlots);
    for (lists::FileSlot& slot : state.fileSlots) {
        std::vector<qint32> newIndex(static_cast<std::size_t>(slot.records.size()), -1);
        qint32 kept = 0;
        for (qsizetype i = 0; i < slot.records.size(); ++i) {
            if (!lists::isBlankRecord(slot.records.utf8(i))) {
                newIndex[static_cast<std::size_t>(i)] = kept++;
            }
        }
        slot.records.keepIf([](std::string_view text) { return !lists::isBlankRecord(text); });
        slot.list.renumberRecords(newIndex);
        slot.changed = true;
    }
}

bool backup(MainState& state) {
    return copyAllOrNothing(
        state, QStringLiteral("Backup"), [](const lists::FileSlot& slot) { return slot.fileName; },
        [](const lists::FileSlot& slot) { return slot.fileName + kBackupSuffix; });
}

bool restore(MainState& state) {
    const bool copied = copyAllOrNothing(
        state, QStringLiteral("Restore"),
        [](const lists::FileSlot& slot) { return slot.fileName + kBackupSuffix; },
        [](const lists::FileSlot& slot) { return slot.fileName; });
    if (copied) {
        std::array<std::optional<undo::SlotContent>, 3> before;
        for (lists::SlotId id : lists::kAllSlots) {
            before[static_cast<std::size_t>(id)] = undo::contentOf(state.slot(id));
            loadFile(state, id);
        }
        state.edits.recordContents(QStringLiteral("Restore"), std::move(before), state.fileSlots);
    }
    return copied;
}

}  // namespace trovix::records
