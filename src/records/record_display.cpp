#include "records/record_display.h"

#include "lists/result_list.h"
#include "state/main_state.h"
#include "store/data_format.h"
#include "store/text_codec.h"

namespace trovix::records {
namespace {

const QString kDisabled = QStringLiteral("<disabled>");

lists::ResultList& listOf(MainState& state, int n) {
    return state.slot(static_cast<lists::SlotId>(n - 1)).list;
}

// The other two lists lose their selections, in the order A, B, C.
void clearOtherSelections(MainState& state, int n) {
    for (int other = 1; other <= 3; ++other) {
        if (other != n) {
            listOf(state, other).setListIndex(-1);
        }
    }
}

bool holdsNoMatchRow(const lists::ResultList& list) {
    return (list.count() > 0 && list.isNoMatchRow(0)) || (list.count() > 1 && list.isNoMatchRow(1));
}

}  // namespace

QString displayText(std::string_view element) {
    QString text = store::utf8ToText(element);
    text.replace(store::kRecordSepText, QStringLiteral("\r\n"));
    return text;
}

BoxText editBoxText(std::string_view element) {
    constexpr int kExcerptLines = 200;
    constexpr int kExcerptLineChars = 2000;
    bool editable = element.size() <= kEditableBytes;
    QStringList excerpt;
    std::string_view rest = element;
    for (int line = 0;; ++line) {
        const std::size_t at = store::findRecordSep(rest);
        const std::string_view text = rest.substr(0, at);
        editable = editable && text.size() <= kEditableLineBytes;
        if (line < kExcerptLines) {
            excerpt << lists::shortenedUtf8(text, kExcerptLineChars);
        } else if (line == kExcerptLines) {
            excerpt << QString(QChar(0x2026));
        }
        if (at == std::string_view::npos) {
            break;
        }
        rest.remove_prefix(at + store::kRecordSep.size());
    }
    if (editable) {
        return {displayText(element), true};
    }
    return {excerpt.join(QStringLiteral("\r\n")), false};
}

void listClick(MainState& state, int n) {
    if (state.busy || n < 1 || n > 3) {
        return;
    }
    const BusySection busy(state);
    lists::FileSlot& slot = state.slot(static_cast<lists::SlotId>(n - 1));
    const lists::ResultList& list = slot.list;
    const int row = list.listIndex();
    if (row >= 0) {
        if (n == 1) {
            state.statusBar.setPanel(4,
                                     QStringLiteral("   %1   %2").arg(row).arg(list.itemData(row)));
        }
        state.listWithFocus = n;
        clearOtherSelections(state, n);
        setListBackGroundColors(state, n);

        const qint32 record = list.itemData(row);
        const bool isRecord = !list.isNoMatchRow(row) && !list.isContinuationRow(row) &&
                              slot.records.contains(record);
        if (holdsNoMatchRow(list) || (state.displayFileNames() && row == 0) || !isRecord) {
            state.editBox.setEnabled(false);
            state.editBox.setText(kDisabled);
        } else if (const BoxText shown = editBoxText(slot.records.utf8(record)); shown.whole) {
            state.editBox.setEnabled(!state.fullDataView());
            state.editBox.setText(shown.text);
        } else {
            state.editBox.showExcerpt(shown.text);
            {
                state.statusBar.showMessage(
                    QStringLiteral("This record is too long to edit here and is shown "
                                   "shortened. \"Open File for Direct Editing\" opens its file "
                                   "in a text editor."));
            }
        }
    }
}

void listMouseDown(MainState& state, int n) {
    setListBackGroundColors(state, n);
    {
        const BusySection busy(state);
        clearOtherSelections(state, n);
    }
    // The record shown came from a list whose selection just went: typing now would reach no
    // record, so the box takes no typing until a row is selected again.
    const int focus = state.listWithFocus;
    if (focus >= 1 && focus <= 3 && focus != n && listOf(state, focus).listIndex() < 0) {
        state.editBox.setEnabled(false);
    }
}

void setListBackGroundColors(MainState& state, int n) {
    if (n < 1 || n > 3 || !state.toolbar.isPressed(fileButton(static_cast<lists::SlotId>(n - 1)))) {
        return;  // a hidden list is never coloured, and the others keep their colours
    }
    for (int other = 1; other <= 3; ++other) {
        listOf(state, other)
            .setBackColor(other == n ? lists::ResultList::kFocusColour : lists::ResultList::kWhite);
    }
}

}  // namespace trovix::records
