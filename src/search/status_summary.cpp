#include "search/status_summary.h"

#include "state/main_state.h"
#include "state/text.h"

namespace trovix::search {

void fillStatusBar(MainState& state) {
    for (lists::SlotId id : lists::kAllSlots) {
        const lists::FileSlot& slot = state.slot(id);
        state.statusBar.setPanel(
            static_cast<int>(id) + 1,
            withoutFolder(slot.fileName) + QStringLiteral("  (%1)").arg(slot.list.count()));
    }
}

}  // namespace trovix::search
