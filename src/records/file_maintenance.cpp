#include "records/file_maintenance.h"

#include <QCoreApplication>
#include <vector>

#include "lists/listing.h"
#include "platform/replacement_set.h"

namespace trovix::records {
namespace {

const QString kBackupSuffix = QStringLiteral(".old");  // a file name suffix

// Copies the three files from `from(slot)` to `to(slot)`, all or none: each copy is written
// beside its target first, a piece at a time, and the three then replace their targets together
// (platform::ReplacementSet), also across a kill.
template <typename From, typename To>
bool copyAllOrNothing(const platform::Services& services, const lists::FileSlots& slots,
                      const QString& title, From from, To to) {
    platform::ReplacementSet copies(*services.disk);
    const auto tell = [&](const QString& text) {
        services.messages->show(text, title, platform::MessageButtons::Ok,
                                platform::MessageIcon::Warning);
    };
    for (const lists::FileSlot& slot : slots) {
        if (const platform::Result<void, platform::WriteFailure> prepared =
                copies.prepare(to(slot), platform::copiedContent(from(slot)));
            !prepared) {
            tell(QCoreApplication::translate(
                     "FileMaintenance",
                     "\"%1\" could not be copied to \"%2\":\n%3\n\nNo file was "
                     "changed.")
                     .arg(from(slot), to(slot), prepared.error()));
            return false;
        }
    }
    if (const platform::Result<void, platform::WriteFailure> committed = copies.commit();
        !committed) {
        tell(committed.failure().unchanged
                 ? QCoreApplication::translate(
                       "FileMaintenance",
                       "The files could not be replaced:\n%1\n\nNo file was changed.")
                       .arg(committed.error())
                 : QCoreApplication::translate("FileMaintenance",
                                               "The files could not be replaced:\n%1")
                       .arg(committed.error()));
        return false;
    }
    return true;
}

}  // namespace

void compact(lists::FileSlots& slots) {
    for (lists::FileSlot& slot : slots) {
        const std::vector<qint32> removed = lists::blankRecordsToRemove(slot.records);
        std::vector<qint32> newIndex(static_cast<std::size_t>(slot.records.size()), -1);
        qint32 kept = 0;
        auto next = removed.begin();
        for (qint32 i = 0; i < static_cast<qint32>(newIndex.size()); ++i) {
            if (next != removed.end() && *next == i) {
                ++next;
            } else {
                newIndex[static_cast<std::size_t>(i)] = kept++;
            }
        }
        slot.records.removeAt(removed);
        slot.list.renumberRecords(newIndex);
        slot.changed = true;
    }
}

bool backup(const platform::Services& services, const lists::FileSlots& slots) {
    return copyAllOrNothing(
        services, slots, QCoreApplication::translate("FileMaintenance", "Backup"),
        [](const lists::FileSlot& slot) { return slot.fileName; },
        [](const lists::FileSlot& slot) { return slot.fileName + kBackupSuffix; });
}

bool restoreBackups(const platform::Services& services, const lists::FileSlots& slots) {
    return copyAllOrNothing(
        services, slots, QCoreApplication::translate("FileMaintenance", "Restore"),
        [](const lists::FileSlot& slot) { return slot.fileName + kBackupSuffix; },
        [](const lists::FileSlot& slot) { return slot.fileName; });
}

}  // namespace trovix::records
