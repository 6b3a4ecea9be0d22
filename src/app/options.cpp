#include "app/options.h"

#include "lists/listing.h"
#include "state/main_state.h"
#include "view/window_options.h"

namespace trovix::app {
namespace {

void showOrHideHeaderRows(MainState& state, bool show) {
    for (lists::SlotId id : lists::kAllSlots) {
        lists::FileSlot& slot = state.slot(id);
        if (show) {
            slot.list.insertHeaderRow(lists::headerRowText(slot.fileName));
        } else if (slot.list.count() > 0) {
            slot.list.removeRow(0);
        }
    }
}

}  // namespace

void optionMenuClick(MainState& state, Option option) {
    const bool checked = !state.options.isChecked(option);
    state.options.setChecked(option, checked);
    switch (option) {
        case Option::DisplayFileNames:
            showOrHideHeaderRows(state, checked);
            break;
        case Option::OnTop:
            view::setOnTop(state.frame, state.options);
            break;
        case Option::IgnoreCase:
        case Option::SearchWhileTyping:
        case Option::AutoSave:
        case Option::ReloadChangedFiles:
        case Option::HighlightMatches:
            break;
    }
}

}  // namespace trovix::app
