#include "app/commands.h"

#include <cmath>

#include "records/slot_procedures.h"
#include "search/search_engine.h"
#include "state/main_state.h"
#include "state/text.h"
#include "view/fonts.h"
#include "view/layout.h"
#include "view/list_display.h"

namespace trovix::app {
namespace {

// New, delete and sort work only on lists of one row per record.
constexpr Command kRecordCommands[] = {Command::New, Command::Delete, Command::Sort};

}  // namespace

void switchFullDataView(MainState& state) {
    const BusySection busy(state);
    const bool on = state.fullDataView();
    if (on) {
        records::expandListData(state);
        state.editBox.setEnabled(false);
        state.editBox.setText(QStringLiteral("<disabled>"));
    } else {
        records::contractListData(state);
        state.editBox.setEnabled(true);
        state.editBox.setText(QString());
    }
    for (const Command command : kRecordCommands) {
        state.toolbar.setEnabled(command, !on);
    }
}

void selectFont(MainState& state) {
    platform::FontDialog* dialog = state.services.fonts;
    if (dialog == nullptr) {
        return;
    }
    ListFont font = state.frame.font();
    platform::FontChoice initial;
    initial.family = font.name;
    initial.pointSize = font.size;
    initial.weight = font.bold ? 700 : 400;
    initial.italic = font.italic;
    const std::optional<platform::FontChoice> chosen = dialog->chooseFont(initial);
    if (!chosen) {
        return;
    }
    font.name = chosen->family;
    if (font.name.isEmpty()) {
        return;
    }
    if (chosen->weight) {
        font.bold = *chosen->weight >= 600;  // demibold and heavier
    }
    font.italic = chosen->italic;
    font.size = static_cast<int>(std::nearbyint(chosen->pointSize));  // 10.5 gives 10, 11.5 12
    state.frame.setFont(font);
    view::setFonts(state);
    state.statusBar.setSimpleText(font.name + QStringLiteral("  %1 pt").arg(font.size));
}

void toolbarButtonPressed(MainState& state, Command command) {
    if (!state.toolbar.button(command).enabled) {
        return;
    }
    if (isTwoState(command)) {
        state.toolbar.setPressed(command, !state.toolbar.isPressed(command));
    }
    toolbarButtonClick(state, command);
}

void toolbarButtonClick(MainState& state, Command command) {
    switch (command) {
        case Command::Find:
            if (!trimSpaces(state.searchBox.text()).isEmpty()) {
                search::search(state);
            }
            break;
        case Command::ViewAll:
            for (store::SlotId id : store::kAllSlots) {
                records::loadArray(state, id);
            }
            view::setListDisplay(state);
            break;
        case Command::Edit:
            state.frame.setEditPaneVisible(state.toolbar.isPressed(command));
            view::formResize(state);
            break;
        case Command::Data:
            switchFullDataView(state);
            break;
        case Command::Font:
            selectFont(state);
            break;
        case Command::FileA:
        case Command::FileB:
        case Command::FileC: {
            const int n = static_cast<int>(*slotOfFileButton(command)) + 1;
            state.listWithFocus = state.toolbar.isPressed(command) ? n : 0;
            view::setListDisplay(state);
            break;
        }
        case Command::Print:
        case Command::Copy:
        case Command::New:
        case Command::Delete:
        case Command::Sort:
        case Command::Select:
        case Command::Save:
        case Command::Open:
        case Command::Refresh:
        case Command::Email:
            break;
    }
}

void menuCommand(MainState& /*state*/, MenuCommand /*command*/) {
}

}  // namespace trovix::app
