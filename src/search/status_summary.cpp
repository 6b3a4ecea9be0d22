#include "search/status_summary.h"

#include "state/controls.h"
#include "state/text.h"

namespace trovix::search {

QString statusPanelText(const lists::FileSlot& slot) {
    return withoutFolder(slot.fileName) + QStringLiteral("  (%L1)").arg(slot.list.count());
}

void fillStatusBar(StatusBar& statusBar, const lists::FileSlots& slots) {
    for (lists::SlotId id : lists::kAllSlots) {
        statusBar.setPanel(lists::listNumber(id), statusPanelText(lists::slotOf(slots, id)));
    }
}

}  // namespace trovix::search
