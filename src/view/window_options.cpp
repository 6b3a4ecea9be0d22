#include "view/window_options.h"

#include "app/main_state.h"
#include "search/status_summary.h"

namespace trovix::view {

void setToolTipText(app::MainState& state) {
    const char* const buttons[] = {"fileA", "fileB", "fileC"};
    for (store::SlotId id : store::kAllSlots) {
        state.toolbar.setToolTip(QString::fromLatin1(buttons[static_cast<int>(id)]),
                                 search::withoutFolder(state.slot(id).fileName));
    }
}

void setOnTop(app::MainState& state) {
    state.frame.setOnTop(state.options.isChecked(app::Option::OnTop));
}

void toggleOnTop(app::MainState& state) {
    state.options.setChecked(app::Option::OnTop, !state.options.isChecked(app::Option::OnTop));
    setOnTop(state);
}

}  // namespace trovix::view
