#include "search/search_box.h"

#include "search/search_engine.h"
#include "state/main_state.h"
#include "state/text.h"

namespace trovix::search {
void loadSearchTermList(SearchBox& searchBox, std::span<const QString> history) {
    QStringList entries;
    for (const QString& entry : history) {
        if (!trimSpaces(entry).isEmpty()) {
            entries.append(entry);
        }
    }
    searchBox.setEntries(entries);
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
        if (text.startsWith(QStringLiteral("..x")) && state.closeWindow) {
            state.closeWindow();
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
    loadSearchTermList(state.searchBox, state.history);
}

}  // namespace trovix::search
