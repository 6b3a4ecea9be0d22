#include "app/list_commands.h"

#include <QCoreApplication>

#include "records/record_display.h"
#include "search/status_summary.h"
#include "state/main_state.h"
#include "view/layout.h"

namespace trovix::app {
namespace {

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
        records::setListBackGroundColors(state.fileSlots, state.toolbar, id);

        const qint32 record = list.itemData(row);
        const bool isRecord = !list.isNoMatchRow(row) && !list.isContinuationRow(row) &&
                              slot.records.contains(record);
        if (holdsNoMatchRow(list) || (state.displayFileNames() && row == 0) || !isRecord) {
            state.editBox.setEnabled(false);
            state.editBox.setText(QCoreApplication::translate("ListCommands", "<disabled>"));
        } else if (const records::BoxText shown = records::editBoxText(slot.records.utf8(record));
                   shown.whole) {
            state.editBox.setEnabled(!state.fullDataView());
            state.editBox.setText(shown.text);
        } else {
            state.editBox.showExcerpt(shown.text);
            {
                state.statusBar.showMessage(
                    QCoreApplication::translate("ListCommands",
                                                "This record is too long to edit here and is "
                                                "shown shortened. \"Open File for Direct "
                                                "Editing\" opens its file in a text editor."));
            }
        }
    }
}

void listMouseDown(MainState& state, lists::SlotId id) {
    records::setListBackGroundColors(state.fileSlots, state.toolbar, id);
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

void setListDisplay(MainState& state) {
    for (lists::SlotId id : lists::kAllSlots) {
        state.slot(id).list.setVisible(state.toolbar.isPressed(fileButton(id)));
    }
    if (!state.listWithFocus) {
        for (lists::SlotId id : lists::kAllSlots) {
            if (state.toolbar.isPressed(fileButton(id))) {
                state.listWithFocus = id;
                break;
            }
        }
    }
    const std::optional<lists::SlotId> focus = state.listWithFocus;
    if (focus) {
        records::colourListWithFocus(state.fileSlots, *focus);
    }
    {
        const BusySection busy(state);
        const int firstRecordRow = state.displayFileNames() ? 1 : 0;
        for (lists::SlotId id : lists::kAllSlots) {
            lists::ResultList& list = state.slot(id).list;
            // A list too short for its first record row keeps no selection.
            list.setListIndex(id == focus && list.count() > firstRecordRow ? firstRecordRow : -1);
        }
    }
    if (focus) {
        listClick(state, *focus);
    }
    search::fillStatusBar(state.statusBar, state.fileSlots);
    view::formResize(state.frame, state.toolbar, state.gap, state.busy);
}

}  // namespace trovix::app
