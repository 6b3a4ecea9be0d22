#include "view/window_options.h"

#include "state/main_state.h"
#include "state/text.h"

namespace trovix::view {

void setToolTipText(MainState& state) {
    for (lists::SlotId id : lists::kAllSlots) {
        state.toolbar.setToolTip(fileButton(id), withoutFolder(state.slot(id).fileName));
    }
}

void setOnTop(MainState& state) {
    state.frame.setOnTop(state.options.isChecked(Option::OnTop));
}

}  // namespace trovix::view
