#pragma once

#include <QStringList>

#include "app/event_handlers.h"
#include "platform/fake/fake_message_boxes.h"
#include "records/slot_procedures.h"
#include "state/main_state.h"
#include "support/result_rows.h"

namespace trovix::testing {

// A main window state with three slots holding the given records, listed and wired as at the
// end of start-up, with no files behind them.
struct StateFixture {
    platform::FakeMessageBoxes messages;
    MainState state{{.messages = &messages}};

    StateFixture(const QStringList& a, const QStringList& b, const QStringList& c) {
        app::connectEventHandlers(state);
        const QStringList* arrays[] = {&a, &b, &c};
        const char* names[] = {"/data/phone_numbers.txt", "/data/taglines.txt",
                               "/data/area_codes.txt"};
        for (lists::SlotId id : lists::kAllSlots) {
            lists::FileSlot& slot = state.slot(id);
            slot.fileName = QString::fromLatin1(names[static_cast<int>(id)]);
            slot.records = store::RecordArray::fromStrings(*arrays[static_cast<int>(id)]);
            records::loadArray(state, id);
        }
    }

    lists::FileSlot& slot(int n) { return state.slot(static_cast<lists::SlotId>(n - 1)); }
    lists::ResultList& list(int n) { return slot(n).list; }

    QStringList rows(int n) { return rowsOf(list(n)); }
};

}  // namespace trovix::testing
