#include "view/list_display.h"

#include "app/main_state.h"
#include "records/record_display.h"
#include "search/status_summary.h"
#include "store/listing.h"
#include "view/layout.h"

namespace trovix::view {

void setListDisplay(app::MainState& state) {
    const bool shown[] = {state.toolbar.isPressed(QStringLiteral("fileA")),
                          state.toolbar.isPressed(QStringLiteral("fileB")),
                          state.toolbar.isPressed(QStringLiteral("fileC"))};
    for (std::size_t i = 0; i < 3; ++i) {
        state.fileSlots[i].list.setVisible(shown[i]);
    }
    if (state.listWithFocus == 0) {
        for (int n = 1; n <= 3; ++n) {
            if (shown[n - 1]) {
                state.listWithFocus = n;
                break;
            }
        }
    }
    const int focus = state.listWithFocus;
    if (focus >= 1 && focus <= 3) {
        for (int n = 1; n <= 3; ++n) {
            state.fileSlots[static_cast<std::size_t>(n - 1)].list.setBackColor(
                n == focus ? store::ResultList::kFocusColour : store::ResultList::kWhite);
        }
    }
    state.busy = true;
    for (int n = 1; n <= 3; ++n) {
        store::ResultList& list = state.fileSlots[static_cast<std::size_t>(n - 1)].list;
        // A list too short for its first record row keeps no selection.
        list.setListIndex(n == focus && list.count() > (state.displayFileNames() ? 1 : 0)
                              ? (state.displayFileNames() ? 1 : 0)
                              : -1);
    }
    state.busy = false;
    if (focus >= 1 && focus <= 3) {
        records::listClick(state, focus);
    }
    search::fillStatusBar(state);
    formResize(state);
}

void toggleDisplayFileNames(app::MainState& state) {
    const bool show = !state.displayFileNames();
    state.options.setChecked(app::Option::DisplayFileNames, show);
    for (store::SlotId id : store::kAllSlots) {
        store::FileSlot& slot = state.slot(id);
        if (show) {
            slot.list.insertHeaderRow(store::headerRowText(slot.fileName));
        } else if (slot.list.count() > 0) {
            slot.list.removeRow(0);
        }
    }
}

void toggleIgnoreCase(app::MainState& state) {
    state.options.setChecked(app::Option::IgnoreCase,
                             !state.options.isChecked(app::Option::IgnoreCase));
}

void toggleSearchWhileTyping(app::MainState& state) {
    state.options.setChecked(app::Option::SearchWhileTyping,
                             !state.options.isChecked(app::Option::SearchWhileTyping));
}

}  // namespace trovix::view
