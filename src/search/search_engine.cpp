#include "search/search_engine.h"

#include "search/matcher.h"
#include "search/status_summary.h"
#include "state/main_state.h"
#include "store/listing.h"

namespace trovix::search {

void search(MainState& state) {
    const TermMatcher matcher(searchTerms(state.searchBox.text()),
                              state.options.isChecked(Option::IgnoreCase));
    const bool fullDataView = state.fullDataView();
    const bool displayFileNames = state.displayFileNames();

    for (store::SlotId id : store::kAllSlots) {
        store::FileSlot& slot = state.slot(id);
        const std::vector<qint32> found = matchingRecords(slot.records, matcher);
        {
            store::ResultList::Update update(slot.list);
            slot.list.clear();
            for (const qint32 index : found) {
                store::appendRecordRows(slot.list, slot.records, index, fullDataView);
            }
            if (found.empty()) {
                slot.list.addNoMatchRow();
            }
            if (displayFileNames) {
                slot.list.insertHeaderRow(store::headerRowText(slot.fileName));
            }
        }
        if (found.empty()) {
            const BusySection busy(state);
            state.editBox.setText(QString());
        }
    }

    {
        const BusySection busy(state);
        for (store::SlotId id : store::kAllSlots) {
            state.slot(id).list.setListIndex(-1);
        }
        for (store::SlotId id : store::kAllSlots) {
            state.slot(id).list.setBackColor(store::ResultList::kWhite);
        }
    }

    state.editBox.setEnabled(false);
    const int firstRow = displayFileNames ? 1 : 0;
    for (store::SlotId id : store::kAllSlots) {
        store::ResultList& list = state.slot(id).list;
        if (list.count() > firstRow && !list.isNoMatchRow(firstRow)) {
            state.editBox.setEnabled(true);
            list.setListIndex(firstRow);  // the click handling shows the record
            break;
        }
    }
    fillStatusBar(state);
}

}  // namespace trovix::search
