#include "records/file_maintenance.h"

#include <QFile>
#include <memory>
#include <vector>

#include "lists/listing.h"

namespace trovix::records {
namespace {

const QString kBackupSuffix = QStringLiteral(".old");

// Copies the three files from `from(slot)` to `to(slot)`: every copy is written where it waits
// first, and only when all three are ready do they replace the files, so a failure changes none.
template <typename From, typename To>
bool copyAllOrNothing(const platform::Services& services, const lists::FileSlots& slots,
                      const QString& title, From from, To to) {
    std::vector<std::unique_ptr<platform::SafeFile>> copies;
    for (const lists::FileSlot& slot : slots) {
        const QString source = from(slot);
        const QString target = to(slot);
        const platform::Result<QByteArray> bytes = platform::readWholeFile(source);
        bool ok = bytes.ok();
        QString error = bytes.error();
        if (ok) {
            copies.push_back(std::make_unique<platform::SafeFile>(*services.disk, target));
            const platform::Result<void, platform::WriteFailure> prepared =
                copies.back()->prepare(platform::bytesContent(*bytes));
            ok = prepared.ok();
            error = prepared.error();
        }
        if (!ok) {
            copies.clear();  // the prepared copies are dropped; no file changed
            services.messages->show(
                QStringLiteral("\"%1\" could not be copied to \"%2\":\n%3\n\nNo file was "
                               "changed.")
                    .arg(source, target, error),
                title, platform::MessageButtons::Ok, platform::MessageIcon::Warning);
            return false;
        }
    }
    // What the targets hold now, to put back should a copy fail to take its place.
    QList<std::optional<QByteArray>> before;
    for (const lists::FileSlot& slot : slots) {
        const platform::Result<QByteArray> held = platform::readWholeFile(to(slot));
        before.append(held ? std::optional<QByteArray>(*held) : std::nullopt);
    }
    for (std::size_t i = 0; i < copies.size(); ++i) {
        const platform::Result<void, platform::WriteFailure> committed = copies[i]->commit();
        if (committed) {
            continue;
        }
        // The failed copy left its file as it was, unless it says otherwise; the files already
        // replaced get their old content back, and what cannot be put back is told.
        QStringList notes;
        if (!committed.failure().unchanged) {
            notes << QStringLiteral("\"%1\" may be damaged.").arg(to(slots[i]));
        }
        for (std::size_t done = 0; done < i; ++done) {
            const QString target = to(slots[done]);
            const std::optional<QByteArray>& old = before[static_cast<qsizetype>(done)];
            const platform::Result<void, platform::WriteFailure> putBack =
                old ? platform::writeFileSafely(*services.disk, target,
                                                platform::bytesContent(*old))
                : QFile::remove(target)
                    ? platform::Result<void, platform::WriteFailure>()
                    : platform::WriteFailure{QStringLiteral("It could not be removed.")};
            if (!putBack) {
                notes << QStringLiteral(
                             "\"%1\" was already written, and what it held before could not be "
                             "put back:\n%2")
                             .arg(target, putBack.error());
            }
        }
        services.messages->show(QStringLiteral("\"%1\" could not be replaced:\n%2\n\n%3")
                                    .arg(to(slots[i]), committed.error(),
                                         notes.isEmpty() ? QStringLiteral("No file was changed.")
                                                         : notes.join(QStringLiteral("\n\n"))),
                                title, platform::MessageButtons::Ok,
                                platform::MessageIcon::Warning);
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
        services, slots, QStringLiteral("Backup"),
        [](const lists::FileSlot& slot) { return slot.fileName; },
        [](const lists::FileSlot& slot) { return slot.fileName + kBackupSuffix; });
}

bool restoreBackups(const platform::Services& services, const lists::FileSlots& slots) {
    return copyAllOrNothing(
        services, slots, QStringLiteral("Restore"),
        [](const lists::FileSlot& slot) { return slot.fileName + kBackupSuffix; },
        [](const lists::FileSlot& slot) { return slot.fileName; });
}

}  // namespace trovix::records
