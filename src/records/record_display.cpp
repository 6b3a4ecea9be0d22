#include "records/record_display.h"

#include "lists/result_list.h"
#include "state/main_state.h"
#include "store/data_format.h"
#include "store/text_codec.h"

namespace trovix::records {
namespace {

const QString kDisabled = QStringLiteral("<disabled>");

// The other two lists lose their selections, in the order A, B, C.
void clearOtherSelections(MainState& state, lists::SlotId id) {
    for (lists::SlotId other : lists::kAllSlots) {
        if (other != id) {
            state.slot(other).list.setListIndex(-1);
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

void listClick(MainState& state, lists::SlotId id) {
    if (state.busy) {
        return;
    }
    const BusySection busy(state);
    lists::FileSlot& slot = state.slot(id);
    const lists::ResultList& list = slot.list;
    const int row = list.listIndex();
    if (row >= 0) {
        if (id == lists::SlotId::A) {
            state.statusBar.setPanel(4,
                                     QStringLiteral("   %1   %2").arg(row).arg(list.itemData(row)));
        }
        state.listWithFocus = id;
        clearOtherSelections(state, id);
        setListBackGroundColors(state.fileSlots, state.toolbar, id);

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

void listMouseDown(MainState& state, lists::SlotId id) {
    setListBackGroundColors(state.fileSlots, state.toolbar, id);
    {
        const BusySection busy(state);
        clearOtherSelections(state, id);
    }
    // The record shown came from a list whose selection just went: typing now would reach no
    // record, so the box takes no typing until a row is selected again.
    const std::optional<lists::SlotId> focus = state.listWithFocus;
    if (focus && *focus != id && state.slot(*focus).list.listIndex() < 0) {
        state.editBox.setEnabled(false);
    }
}

void setListBackGroundColors(lists::FileSlots& slots, const Toolbar& toolbar, lists::SlotId id) {
    if (!toolbar.isPressed(fileButton(id))) {
        return;  // a hidden list is never coloured, and the others keep their colours
    }
    colourListWithFocus(slots, id);
}

void colourListWithFocus(lists::FileSlots& slots, lists::SlotId focus) {
    for (lists::SlotId id : lists::kAllSlots) {
        lists::slotOf(slots, id).list.setBackColor(id == focus ? lists::ResultList::kFocusColour
                                                               : lists::ResultList::kWhite);
    }
}

}  // namespace trovix::records
