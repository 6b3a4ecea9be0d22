#include "records/record_display.h"

#include "app/main_state.h"
#include "store/data_file.h"
#include "store/text_codec.h"

namespace trovix::records {
namespace {

const QString kDisabled = QStringLiteral("<disabled>");

store::ResultList& listOf(app::MainState& state, int n) {
    return state.slot(static_cast<store::SlotId>(n - 1)).list;
}

// The other two lists lose their selections, in the order A, B, C.
void clearOtherSelections(app::MainState& state, int n) {
    for (int other = 1; other <= 3; ++other) {
        if (other != n) {
            listOf(state, other).setListIndex(-1);
        }
    }
}

bool holdsNoMatchRow(const store::ResultList& list) {
    return (list.count() > 0 && list.isNoMatchRow(0)) || (list.count() > 1 && list.isNoMatchRow(1));
}

}  // namespace

QString displayText(std::string_view element) {
    QString text = store::utf8ToText(element);
    text.replace(store::kRecordSepText, QStringLiteral("\r\n"));
    return text;
}

void listClick(app::MainState& state, int n) {
    if (state.busy || n < 1 || n > 3) {
        return;
    }
    state.busy = true;
    store::FileSlot& slot = state.slot(static_cast<store::SlotId>(n - 1));
    const store::ResultList& list = slot.list;
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
        } else {
            state.editBox.setEnabled(!state.fullDataView());
            state.editBox.setText(displayText(slot.records.utf8(record)));
        }
    }
    state.busy = false;
}

void listMouseDown(app::MainState& state, int n) {
    setListBackGroundColors(state, n);
    state.busy = true;
    clearOtherSelections(state, n);
    state.busy = false;
    // The record shown came from a list whose selection just went: typing now would reach no
    // record, so the box takes no typing until a row is selected again.
    const int focus = state.listWithFocus;
    if (focus >= 1 && focus <= 3 && focus != n && listOf(state, focus).listIndex() < 0) {
        state.editBox.setEnabled(false);
    }
}

void setListBackGroundColors(app::MainState& state, int n) {
    static const char* const buttons[] = {"fileA", "fileB", "fileC"};
    if (n < 1 || n > 3 || !state.toolbar.isPressed(QString::fromLatin1(buttons[n - 1]))) {
        return;  // a hidden list is never coloured, and the others keep their colours
    }
    for (int other = 1; other <= 3; ++other) {
        listOf(state, other)
            .setBackColor(other == n ? store::ResultList::kFocusColour : store::ResultList::kWhite);
    }
}

}  // namespace trovix::records
