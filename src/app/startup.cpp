#include "app/startup.h"

#include "app/event_handlers.h"
#include "app/main_state.h"
#include "platform/native.h"
#include "search/search_box.h"
#include "store/slot_procedures.h"

namespace trovix::app {

QString defaultDataFile(const QString& programFolder, const QString& name) {
    return programFolder + platform::nativeFolderSeparator() + name;
}

void startUp(MainState& state) {
    connectEventHandlers(state);
    state.busy = true;
    const QString defaults[] = {QStringLiteral("phone_numbers.txt"), QStringLiteral("taglines.txt"),
                                QStringLiteral("area_codes.txt")};
    for (store::SlotId id : store::kAllSlots) {
        QString& name = state.slot(id).fileName;
        if (name.isEmpty()) {
            name = defaultDataFile(state.programFolder, defaults[static_cast<int>(id)]);
        }
    }
    for (store::SlotId id : store::kAllSlots) {
        store::loadFile(state, id);
    }
    search::loadSearchTermList(state);
    if (state.fullDataView()) {
        for (const char* key : {"new", "delete", "sort"}) {
            state.toolbar.setEnabled(QString::fromLatin1(key), false);
        }
    }
    state.busy = false;
}

}  // namespace trovix::app
