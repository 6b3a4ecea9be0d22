#include "search/search_engine.h"

#include <new>
#include <system_error>

#include "lists/listing.h"
#include "search/matcher.h"
#include "search/narrowing.h"
#include "search/status_summary.h"
#include "state/main_state.h"
#include "state/text.h"

namespace trovix::search {

void search(MainState& state) {
    Q_ASSERT(!trimSpaces(state.searchBox.text()).isEmpty());
    const TermMatcher matcher(searchTerms(state.searchBox.text()),
                              state.options.isChecked(Option::IgnoreCase));
    const bool fullDataView = state.fullDataView();
    const bool displayFileNames = state.displayFileNames();

    for (lists::SlotId id : lists::kAllSlots) {
        lists::FileSlot& slot = state.slot(id);
        slot.shownSearch = state.searchBox.text();
        slot.shownSearchIgnoresCase = state.options.isChecked(Option::IgnoreCase);
        bool empty = true;
        {
            lists::ResultList::Update update(slot.list);
            try {
                const auto found = findMatches(slot.records, matcher, slot.recentFinds);
                slot.list.clear();
                lists::appendRecordsRows(slot.list, slot.records, *found, fullDataView);
                empty = found->empty();
            } catch (const std::exception&) {
                // Out of memory (or of threads): the list shows no match rather than part of
                // the matches, and the user is told.
                slot.list.clear();
                state.services.messages->show(
                    QStringLiteral("\"%1\" could not be searched:\nThere was not enough "
                                   "memory.")
                        .arg(slot.fileName),
                    QString(), platform::MessageButtons::Ok, platform::MessageIcon::Warning);
            }
            if (empty) {
                slot.list.addNoMatchRow();
            }
            if (displayFileNames) {
                slot.list.insertHeaderRow(lists::headerRowText(slot.fileName));
            }
        }
        if (empty) {
            const BusySection busy(state);
            state.editBox.setText(QString());
        }
    }

    {
        const BusySection busy(state);
        for (lists::SlotId id : lists::kAllSlots) {
            state.slot(id).list.setListIndex(-1);
        }
        for (lists::SlotId id : lists::kAllSlots) {
            state.slot(id).list.setBackColor(lists::ResultList::kWhite);
        }
    }

    state.editBox.setEnabled(false);
    const int firstRow = displayFileNames ? 1 : 0;
    for (lists::SlotId id : lists::kAllSlots) {
        lists::ResultList& list = state.slot(id).list;
        if (list.count() > firstRow && !list.isNoMatchRow(firstRow)) {
            state.editBox.setEnabled(true);
            list.setListIndex(firstRow);  // the click handling shows the record
            break;
        }
    }
    fillStatusBar(state.statusBar, state.fileSlots);
}

void listMatchesAgain(MainState& state, lists::SlotId id) {
    lists::FileSlot& slot = state.slot(id);
    const TermMatcher matcher(searchTerms(slot.shownSearch), slot.shownSearchIgnoresCase);
    const auto found = findMatches(slot.records, matcher, slot.recentFinds);
    const lists::ResultList::Update update(slot.list);
    slot.list.clear();
    lists::appendRecordsRows(slot.list, slot.records, *found, state.fullDataView());
    if (found->empty()) {
        slot.list.addNoMatchRow();
    }
    if (state.displayFileNames()) {
        slot.list.insertHeaderRow(lists::headerRowText(slot.fileName));
    }
}

}  // namespace trovix::search
