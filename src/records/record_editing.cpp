#include "records/record_editing.h"

#include "state/main_state.h"
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

void editBoxChanged(MainState& state) {
    if (state.busy || state.editBox.holdsExcerpt()) {
        return;
    }
    const QString& text = state.editBox.text();
    if (isBlankText(text)) {
        return;
    }
    const int n = state.listWithFocus;
    if (n < 1 || n > 3) {
        return;
    }
    lists::FileSlot& slot = state.slot(static_cast<lists::SlotId>(n - 1));
    lists::ResultList& list = slot.list;
    const int row = list.listIndex();
    if (state.displayFileNames() && row == 0) {
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
            state.edits.recordTyping(static_cast<lists::SlotId>(n - 1), slot.records, record,
                                     after);
            slot.records.set(record, after);
        }
        const qsizetype firstBreak = text.indexOf(crlf);
        list.setRowText(row, firstBreak < 0 ? text : text.left(firstBreak));
    }
    slot.changed = true;
}

}  // namespace trovix::records
