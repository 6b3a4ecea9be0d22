#include "records/record_operations.h"

#include <QCoreApplication>
#include <new>
#include <system_error>

#include "lists/listing.h"
#include "records/record_order.h"
#include "records/slot_procedures.h"
#include "state/controls.h"

namespace trovix::records {
namespace {

// The text of a record the user has just added, for typing over.
QString newItemText() {
    return QCoreApplication::translate("RecordOperations", "New Item");
}

// Shows the busy pointer for its lifetime.
class BusyPointer {
  public:
    explicit BusyPointer(platform::Screen& screen) : screen_(screen) {
        screen_.showBusyPointer(true);
    }
    ~BusyPointer() { screen_.showBusyPointer(false); }
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;

  private:
    platform::Screen& screen_;
};

QString notEnoughMemory() {
    return QCoreApplication::translate("RecordOperations",
                                       "There was not enough memory to sort them.");
}

}  // namespace

void newItem(undo::EditHistory& edits, lists::FileSlots& slots, std::optional<lists::SlotId> focus,
             EditBox& editBox) {
    if (!focus) {
        return;
    }
    lists::FileSlot* slot = &lists::slotOf(slots, *focus);
    store::RecordArray& records = slot->records;
    const qsizetype last = records.size() - 1;
    qsizetype index = last;
    const bool takesLast = last >= 0 && records.utf8(last).empty();
    edits.recordTexts(
        QCoreApplication::translate("RecordOperations", "New"), *focus, records,
        takesLast ? std::vector<qint32>{static_cast<qint32>(last)} : std::vector<qint32>{},
        records.size() + 1);
    const QString newItem = newItemText();
    if (takesLast) {
        // The empty element after the file's final line break takes the record, and a new one
        // follows it, so the file still ends with a line break.
        records.set(last, newItem);
        records.append(std::string_view());
    } else {
        index = last + 1;
        records.append(newItem);
    }
    lists::ResultList& list = slot->list;
    list.addRecordRow(static_cast<qint32>(index));
    list.setListIndex(list.count() - 1);  // the click handling shows the record
    editBox.setEnabled(true);
    editBox.setText(newItem);
    slot->changed = true;
}

void deleteItem(undo::EditHistory& edits, lists::FileSlots& slots,
                std::optional<lists::SlotId> focus) {
    if (!focus) {
        return;
    }
    lists::FileSlot* slot = &lists::slotOf(slots, *focus);
    lists::ResultList& list = slot->list;
    const int row = list.listIndex();
    if (list.count() < 2 || row < 0 || list.isHeaderRow(row) || list.isNoMatchRow(row) ||
        list.isContinuationRow(row)) {
        return;
    }
    const qint32 record = list.itemData(row);
    if (slot->records.contains(record)) {
        edits.recordTexts(QCoreApplication::translate("RecordOperations", "Delete"), *focus,
                          slot->records, {record}, slot->records.size());
        slot->records.set(record, std::string_view());
    }
    const int next = row == list.count() - 1 ? row - 1 : row;
    list.removeRow(row);
    slot->changed = true;
    list.setListIndex(next);
}

void sortItems(const platform::Services& services, undo::EditHistory& edits,
               lists::FileSlots& slots, std::optional<lists::SlotId> focus,
               const lists::ListingOptions& options) {
    const BusyPointer pointer(*services.screen);
    if (!focus) {
        return;
    }
    lists::FileSlot* slot = &lists::slotOf(slots, *focus);
    lists::ResultList& list = slot->list;
    const QString selected = list.listIndex() >= 0 ? list.text(list.listIndex()) : QString();
    // A sort that cannot have the memory it needs leaves the records as they are.
    const platform::MemoryRoom room = services.memory->room();
    const qint64 needed = exchangeSortMemory(slot->records.size());
    QString notSorted;
    if (needed > room.bytes) {
        notSorted = QCoreApplication::translate(
                        "RecordOperations",
                        "Sorting its %Ln records would take about %1 of memory, and only %2 is "
                        "left (%3).",
                        nullptr, static_cast<int>(slot->records.size()))
                        .arg(platform::describeBytes(needed), platform::describeBytes(room.bytes),
                             room.limitedBy);
    } else {
        try {
            std::vector<qint32> order = exchangeSortOrder(slot->records);
            slot->records.permute(order);
            edits.recordOrder(undo::nameWithFile(undo::FileStep::Sort, slot->fileName), *focus,
                              std::move(order));
        } catch (const std::bad_alloc&) {
            notSorted = notEnoughMemory();
        } catch (const std::system_error&) {
            notSorted = notEnoughMemory();
        }
    }
    if (!notSorted.isEmpty()) {
        services.messages->show(
            QCoreApplication::translate("RecordOperations",
                                        "The records of \"%1\" were not sorted:\n%2")
                .arg(slot->fileName, notSorted),
            QString(), platform::MessageButtons::Ok, platform::MessageIcon::Warning);
        return;
    }
    loadArray(*slot, options);
    const int row = list.findRow(selected);
    if (row >= 0) {
        list.setListIndex(row);
    }
    slot->changed = true;
}

}  // namespace trovix::records
