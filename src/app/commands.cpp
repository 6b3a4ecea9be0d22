#include "app/commands.h"

#include <cmath>

#include "about/about_box.h"
#include "app/file_commands.h"
#include "app/undo_commands.h"
#include "app/window_events.h"
#include "links/outside_links.h"
#include "output/clipboard_copy.h"
#include "output/printing.h"
#include "records/file_maintenance.h"
#include "records/record_operations.h"
#include "records/slot_procedures.h"
#include "search/search_engine.h"
#include "search/status_summary.h"
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
    state.statusBar.showMessage(font.name + QStringLiteral("  %1 pt").arg(font.size));
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
    state.edits.endTyping();  // a command ends a burst of typing
    switch (command) {
        case Command::Find:
            if (!trimSpaces(state.searchBox.text()).isEmpty()) {
                search::search(state);
            }
            break;
        case Command::ViewAll:
            for (lists::SlotId id : lists::kAllSlots) {
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
        case Command::New:
            records::newItem(state);
            search::fillStatusBar(state);
            break;
        case Command::Delete:
            records::deleteItem(state);
            search::fillStatusBar(state);
            break;
        case Command::Sort:
            records::sortItems(state);
            break;
        case Command::Select:
            selectFile(state);
            break;
        case Command::Save:
            saveSelectedFile(state);
            break;
        case Command::Open:
            openSelectedFile(state);
            break;
        case Command::Refresh:
            reloadSelectedFile(state);
            break;
        case Command::Print:
            output::printList(state);
            break;
        case Command::Copy:
            output::copySelection(state);
            break;
        case Command::Email:
            links::emailAuthor(state);
            break;
    }
}

void menuCommand(MainState& state, MenuCommand command) {
    state.edits.endTyping();  // a command ends a burst of typing
    switch (command) {
        case MenuCommand::Compact:
            records::compact(state);
            break;
        case MenuCommand::Backup:
            records::backup(state);
            break;
        case MenuCommand::Restore:
            if (records::restore(state)) {
                view::setListDisplay(state);
            }
            break;
        case MenuCommand::PrintForm:
            output::printForm(state);
            break;
        case MenuCommand::PrintSelection:
            output::printSelection(state);
            break;
        case MenuCommand::PrintList:
            output::printList(state);
            break;
        case MenuCommand::CopySelection:
            output::copySelection(state);
            break;
        case MenuCommand::CopyList:
            output::copyList(state);
            break;
        case MenuCommand::EmailAuthor:
            links::emailAuthor(state);
            break;
        case MenuCommand::WebSite:
            links::openWebSite(state);
            break;
        case MenuCommand::OnlineUpdate:
            links::onlineUpdate(state);
            break;
        case MenuCommand::About:
            about::showAbout(state);
            // The main window becomes the program's active window again.
            formActivate(state);
            break;
        case MenuCommand::Undo:
            undoCommand(state);
            break;
        case MenuCommand::Redo:
            redoCommand(state);
            break;
    }
}

}  // namespace trovix::app
