#include "app/undo_commands.h"

#include "app/search_commands.h"
#include "lists/listing.h"
#include "records/slot_procedures.h"
#include "search/search_engine.h"
#include "search/status_summary.h"
#include "state/main_state.h"
#include "state/text.h"
#include "view/window_options.h"

namespace trovix::app {
namespace {

// Whether a slot's list shows the result of the search text rather than every record.
bool showsSearchResult(const MainState& state, const lists::FileSlot& slot) {
    if (trimSpaces(state.searchBox.text()).isEmpty()) {
        return false;
    }
    const lists::ResultList& list = slot.list;
    qsizetype rows = 0;
    for (int r = 0; r < list.count(); ++r) {
        if (list.isNoMatchRow(r)) {
            return true;
        }
        rows += !list.isHeaderRow(r) && !list.isContinuationRow(r);
    }
    qsizetype listed = 0;
    for (qsizetype i = 0; i < slot.records.size(); ++i) {
        listed += !lists::isBlankRecord(slot.records.utf8(i));
    }
    return rows != listed;
}

// The row of a list that shows a record, -1 for none.
int rowOfRecord(const lists::ResultList& list, qint32 record) {
    for (int r = 0; record >= 0 && r < list.count(); ++r) {
        if (list.itemData(r) == record && !list.isHeaderRow(r) && !list.isNoMatchRow(r) &&
            !list.isContinuationRow(r)) {
            return r;
        }
    }
    return -1;
}

void takeStep(MainState& state, bool forward) {
    // What the lists show before the step decides how they show its outcome.
    std::array<bool, 3> searched{};
    std::array<QString, 3> selected;
    for (lists::SlotId id : lists::kAllSlots) {
        const lists::FileSlot& slot = state.slot(id);
        searched[static_cast<std::size_t>(id)] = showsSearchResult(state, slot);
        if (slot.list.listIndex() >= 0) {
            selected[static_cast<std::size_t>(id)] = slot.list.text(slot.list.listIndex());
        }
    }
    const undo::StepOutcome outcome =
        forward ? state.edits.redo(state.fileSlots) : state.edits.undo(state.fileSlots);
    if (!outcome.done) {
        return;
    }
    bool searchAgain = false;
    for (lists::SlotId id : lists::kAllSlots) {
        const auto n = static_cast<std::size_t>(id);
        if (outcome.slots[n]) {
            records::loadArray(state.slot(id), state.listingOptions());
            searchAgain = searchAgain || searched[n];
        }
    }
    if (searchAgain) {
        search(state);  // the lists stay consistent with the search text
    }
    // The affected list with focus, else the step's own; its restored record, else the row that
    // was selected, else its first record.
    const int focus = state.listWithFocus ? static_cast<int>(*state.listWithFocus) : -1;
    const int shown =
        focus >= 0 && outcome.slots[static_cast<std::size_t>(focus)] ? focus : outcome.slot;
    lists::ResultList& list = state.slot(static_cast<lists::SlotId>(shown)).list;
    int row = rowOfRecord(list, shown == outcome.slot ? outcome.record : -1);
    if (row < 0 && !selected[static_cast<std::size_t>(shown)].isEmpty()) {
        row = list.findRow(selected[static_cast<std::size_t>(shown)]);
    }
    const int firstRecordRow = state.displayFileNames() ? 1 : 0;
    if (row < 0 && list.count() > firstRecordRow && !list.isNoMatchRow(firstRecordRow)) {
        row = firstRecordRow;
    }
    if (row >= 0) {
        list.setListIndex(-1);
        list.setListIndex(row);  // the click handling shows the record
    }
    view::setToolTipText(
        state.toolbar,
        state.fileSlots);  // the file buttons name the files, which a step may change
    search::fillStatusBar(state.statusBar, state.fileSlots);
    state.changeNotice.noteStepTaken();
}

}  // namespace

void undoCommand(MainState& state) {
    takeStep(state, false);
}

void redoCommand(MainState& state) {
    takeStep(state, true);
}

}  // namespace trovix::app
