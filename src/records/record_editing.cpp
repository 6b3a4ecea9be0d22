#include "records/record_editing.h"

#include "state/controls.h"
#include "store/data_format.h"

namespace trovix::records {
namespace {

bool isBlankText(const QString& text) {
    for (const QChar c : text) {
        if (c != u' ') {
            return false;
        }
    }
    return true;
}

}  // namespace

void editBoxChanged(const EditBox& editBox, undo::EditHistory& edits, lists::FileSlots& slots,
                    std::optional<lists::SlotId> focus, bool displayFileNames) {
    if (editBox.holdsExcerpt()) {
        return;
    }
    const QString& text = editBox.text();
    if (isBlankText(text) || !focus) {
        return;
    }
    lists::FileSlot& slot = lists::slotOf(slots, *focus);
    lists::ResultList& list = slot.list;
    const int row = list.listIndex();
    if (displayFileNames && row == 0) {
        return;  // the file-name header row
    }
    if (row >= 0) {
        const QString crlf = QStringLiteral("\r\n");
        const qint32 record = list.itemData(row);
        // The no-match row and continuation rows carry no record to write into.
        if (!list.isNoMatchRow(row) && !list.isContinuationRow(row) &&
            slot.records.contains(record)) {
            QString element = text;
            element.replace(crlf, store::kRecordSepText);
            const QByteArray utf8 = element.toUtf8();
            const std::string_view after(utf8.constData(), static_cast<std::size_t>(utf8.size()));
            edits.recordTyping(*focus, slot.records, record, after);
            slot.records.set(record, after);
        }
        const qsizetype firstBreak = text.indexOf(crlf);
        list.setRowText(row, firstBreak < 0 ? text : text.left(firstBreak));
    }
    slot.changed = true;
}

}  // namespace trovix::records
