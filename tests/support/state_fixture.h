#pragma once

#include <QStringList>

#include "app/event_handlers.h"
#include "platform/fake/fake_services.h"
#include "records/slot_procedures.h"
#include "state/main_state.h"

namespace trovix::testing {

// The rows of a result list as "tag|text".
inline QStringList rowsOf(const lists::ResultList& list) {
    QStringList out;
    for (int r = 0; r < list.count(); ++r) {
        out << QStringLiteral("%1|%2").arg(list.itemData(r)).arg(list.text(r));
    }
    return out;
}

// A main window state with three slots holding the given records, listed and wired as at the
// end of start-up, with no files behind them.
struct StateFixture {
    platform::FakeServices services;
    platform::FakeMessageBoxes& messages = services.messages;
    MainState state{services.services()};

    StateFixture(const QStringList& a, const QStringList& b, const QStringList& c) {
        app::connectEventHandlers(state);
        const QStringList* arrays[] = {&a, &b, &c};
        const char* names[] = {"/data/phone_numbers.txt", "/data/taglines.txt",
                               "/data/area_codes.txt"};
        for (lists::SlotId id : lists::kAllSlots) {
            lists::FileSlot& slot = state.slot(id);
            slot.fileName = QString::fromLatin1(names[static_cast<int>(id)]);
            slot.records = store::RecordArray::fromStrings(*arrays[static_cast<int>(id)]);
            records::loadArray(slot, state.listingOptions());
        }
    }

    lists::FileSlot& slot(int n) { return state.slot(static_cast<lists::SlotId>(n - 1)); }
    lists::ResultList& list(int n) { return slot(n).list; }

    QStringList rows(int n) { return rowsOf(list(n)); }

    // The lists and the edit box as the user sees them, in one line: the list with focus; each
    // list's selected row, marked '*' while coloured as the list with focus and '-' while hidden;
    // the edit box's text, its lines joined by '|', and "(off)" while it takes no typing.
    QString seen() {
        QString out = QStringLiteral("focus %1:").arg(lists::listNumber(state.listWithFocus));
        for (int n = 1; n <= 3; ++n) {
            const bool coloured = list(n).backColor() == lists::ResultList::kFocusColour;
            out += QStringLiteral(" %1%2%3")
                       .arg(list(n).listIndex())
                       .arg(coloured ? "*" : "")
                       .arg(list(n).isVisible() ? "" : "-");
        }
        QString text = state.editBox.text();
        return out + QStringLiteral(" | ") +
               text.replace(QStringLiteral("\r\n"), QStringLiteral("|")) +
               (state.editBox.isEnabled() ? "" : " (off)");
    }
};

}  // namespace trovix::testing
