#include "search/status_summary.h"

#include "app/main_state.h"
#include "platform/native.h"

namespace trovix::search {

QString withoutFolder(const QString& fileName) {
    qsizetype at = fileName.size();
    while (at > 0 && !platform::isFolderSeparator(fileName[at - 1])) {
        --at;
    }
    return fileName.mid(at);
}

void fillStatusBar(app::MainState& state) {
    for (store::SlotId id : store::kAllSlots) {
        const store::FileSlot& slot = state.slot(id);
        state.statusBar.setPanel(
            static_cast<int>(id) + 1,
            withoutFolder(slot.fileName) + QStringLiteral("  (%1)").arg(slot.list.count()));
    }
}

}  // namespace trovix::search
