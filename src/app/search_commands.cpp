#include "app/search_commands.h"

#include <QCoreApplication>

#include "search/matcher.h"
#include "search/search_box.h"
#include "search/search_engine.h"
#include "search/status_summary.h"
#include "state/main_state.h"
#include "state/text.h"

namespace trovix::app {

void search(MainState& state) {
    Q_ASSERT(!trimSpaces(state.searchBox.text()).isEmpty());
    const bool ignoreCase = state.options.isChecked(Option::IgnoreCase);
    const search::TermMatcher matcher(search::searchTerms(state.searchBox.text()), ignoreCase);
    const lists::ListingOptions listing = state.listingOptions();
    for (lists::SlotId id : lists::kAllSlots) {
        lists::FileSlot& slot = state.slot(id);
        slot.shownSearch = state.searchBox.text();
        slot.shownSearchIgnoresCase = ignoreCase;
        bool found = false;
        try {
            found = search::listMatches(slot, matcher, listing);
        } catch (const std::exception&) {
            // Out of memory (or of threads): the list shows no match rather than part of the
            // matches, and the user is told.
            {
                const lists::ResultList::Update update(slot.list);
                slot.list.clear();
                slot.list.addNoMatchRow();
                if (listing.displayFileNames) {
                    slot.list.insertHeaderRow(lists::headerRowText(slot.fileName));
                }
            }
            state.services.messages->show(
                QCoreApplication::translate("SearchCommands",
                                            "\"%1\" could not be searched:\nThere was not "
                                            "enough memory.")
                    .arg(slot.fileName),
                QString(), platform::MessageButtons::Ok, platform::MessageIcon::Warning);
        }
        if (!found) {
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
    const int firstRow = listing.displayFileNames ? 1 : 0;
    for (lists::SlotId id : lists::kAllSlots) {
        lists::ResultList& list = state.slot(id).list;
        if (list.count() > firstRow && !list.isNoMatchRow(firstRow)) {
            state.editBox.setEnabled(true);
            list.setListIndex(firstRow);  // the click handling shows the record
            break;
        }
    }
    search::fillStatusBar(state.statusBar, state.fileSlots);
}

void listMatchesAgain(MainState& state, lists::SlotId id) {
    lists::FileSlot& slot = state.slot(id);
    search::listMatches(
        slot,
        search::TermMatcher(search::searchTerms(slot.shownSearch), slot.shownSearchIgnoresCase),
        state.listingOptions());
}

void searchBoxChanged(MainState& state) {
    if (state.options.isChecked(Option::SearchWhileTyping) &&
        !trimSpaces(state.searchBox.text()).isEmpty()) {
        search(state);
    }
}

void searchBoxClicked(MainState& state) {
    if (!trimSpaces(state.searchBox.text()).isEmpty()) {
        search(state);
    }
    state.searchBox.selectAll();
}

void searchBoxKeyPress(MainState& state, QChar key) {
    const QString text = state.searchBox.text();
    const QString trimmed = trimSpaces(text);
    if (key != QChar(13) || trimmed.isEmpty()) {
        return;
    }
    if (text.startsWith(QStringLiteral(".."))) {
        if (text.startsWith(QStringLiteral("..x"))) {
            state.services.window->closeWindow();
        }
        return;
    }
    search(state);
    state.searchBox.selectAll();
    const QString wanted = trimmed.toLower();
    int row = 0;  // the drop-down row of an entry: used entries only
    for (const QString& entry : state.history) {
        const QString stored = trimSpaces(entry);
        if (stored.isEmpty()) {
            continue;
        }
        if (stored.toLower() == wanted) {
            state.searchBox.setListIndex(row);  // its click searches again with the stored text
            return;
        }
        ++row;
    }
    for (std::size_t k = state.history.size() - 1; k > 0; --k) {
        state.history[k] = state.history[k - 1];
    }
    state.history[0] = trimmed;
    search::loadSearchTermList(state.searchBox, state.history);
}

}  // namespace trovix::app
