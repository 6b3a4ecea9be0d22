#include "app/commands.h"

#include <QCoreApplication>
#include <QLocale>
#include <cmath>

#include "about/about_box.h"
#include "app/event_handlers.h"
#include "app/file_commands.h"
#include "app/list_commands.h"
#include "app/search_commands.h"
#include "app/undo_commands.h"
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

void enableRecordCommands(Toolbar& toolbar, bool fullDataView) {
    // New, delete and sort work only on lists of one row per record.
    for (const Command command : {Command::New, Command::Delete, Command::Sort}) {
        toolbar.setEnabled(command, !fullDataView);
    }
}

void switchFullDataView(MainState& state) {
    const BusySection busy(state);
    const bool on = state.fullDataView();
    if (on) {
        records::expandListData(state.fileSlots, state.displayFileNames());
        state.editBox.setEnabled(false);
        state.editBox.setText(QCoreApplication::translate("Commands", "<disabled>"));
    } else {
        records::contractListData(state.fileSlots, state.displayFileNames());
        state.editBox.setEnabled(true);
        state.editBox.setText(QString());
    }
    enableRecordCommands(state.toolbar, on);
}

void selectFont(MainState& state) {
    ListFont font = state.frame.font();
    platform::FontChoice initial;
    initial.family = font.name;
    initial.pointSize = font.size;
    initial.weight = font.bold ? 700 : 400;
    initial.italic = font.italic;
    const std::optional<platform::FontChoice> chosen = state.services.fonts->chooseFont(initial);
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
    view::setFonts(state.frame);
    state.statusBar.showMessage(QCoreApplication::translate("Commands", "%1  %2 pt")
                                    .arg(font.name, QLocale().toString(font.size)));
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
                search(state);
            }
            break;
        case Command::ViewAll:
            for (lists::SlotId id : lists::kAllSlots) {
                records::loadArray(state.slot(id), state.listingOptions());
            }
            setListDisplay(state);
            break;
        case Command::Edit:
            state.frame.setEditPaneVisible(state.toolbar.isPressed(command));
            view::formResize(state.frame, state.toolbar, state.gap, state.busy);
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
            state.listWithFocus =
                state.toolbar.isPressed(command) ? slotOfFileButton(command) : std::nullopt;
            setListDisplay(state);
            break;
        }
        case Command::New:
            records::newItem(state.edits, state.fileSlots, state.listWithFocus, state.editBox);
            search::fillStatusBar(state.statusBar, state.fileSlots);
            break;
        case Command::Delete:
            records::deleteItem(state.edits, state.fileSlots, state.listWithFocus);
            search::fillStatusBar(state.statusBar, state.fileSlots);
            break;
        case Command::Sort:
            records::sortItems(state.services, state.edits, state.fileSlots, state.listWithFocus,
                               state.listingOptions());
            search::fillStatusBar(state.statusBar, state.fileSlots);
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
            output::printList(state.services, state.focusedSlot(), state.frame.font());
            break;
        case Command::Copy:
            output::copySelection(state.services, state.focusedSlot());
            break;
        case Command::Email:
            links::emailAuthor(state.services, state.programFolder);
            break;
    }
}

void menuCommand(MainState& state, MenuCommand command) {
    state.edits.endTyping();  // a command ends a burst of typing
    switch (command) {
        case MenuCommand::Compact:
            state.edits.recordCompaction(QCoreApplication::translate("Commands", "Compact"),
                                         state.fileSlots);
            records::compact(state.fileSlots);
            break;
        case MenuCommand::Backup:
            if (records::backup(state.services, state.fileSlots)) {
                //: %1 is the number of data files, which is always three.
                state.statusBar.showMessage(
                    QCoreApplication::translate("Commands", "Backed up %1 files as *.old")
                        .arg(state.fileSlots.size()));
            }
            break;
        case MenuCommand::Restore:
            if (records::restoreBackups(state.services, state.fileSlots)) {
                // The files now hold their backups: each slot reads its file again, and the
                // records it held before are one step back.
                std::array<std::optional<undo::SlotContent>, 3> before;
                for (lists::SlotId id : lists::kAllSlots) {
                    before[static_cast<std::size_t>(id)] = state.slot(id);
                    records::loadFile(state.files(), id);
                }
                state.edits.recordContents(QCoreApplication::translate("Commands", "Restore"),
                                           std::move(before), state.fileSlots);
                setListDisplay(state);
                //: %1 is the number of data files, which is always three.
                state.statusBar.showMessage(
                    QCoreApplication::translate("Commands", "Restored %1 files from *.old")
                        .arg(state.fileSlots.size()));
            }
            break;
        case MenuCommand::PrintForm:
            output::printForm(state.services);
            break;
        case MenuCommand::PrintSelection:
            output::printSelection(state.services, state.focusedSlot(), state.frame.font());
            break;
        case MenuCommand::PrintList:
            output::printList(state.services, state.focusedSlot(), state.frame.font());
            break;
        case MenuCommand::CopySelection:
            output::copySelection(state.services, state.focusedSlot());
            break;
        case MenuCommand::CopyList:
            output::copyList(state.services, state.focusedSlot());
            break;
        case MenuCommand::EmailAuthor:
            links::emailAuthor(state.services, state.programFolder);
            break;
        case MenuCommand::WebSite:
            links::openWebSite(state.services);
            break;
        case MenuCommand::OnlineUpdate:
            if (links::onlineUpdate(state.services, state.programFolder)) {
                state.services.window->closeWindow();
            }
            break;
        case MenuCommand::About:
            state.services.window->showAbout(about::aboutCaption());
            // The main window becomes the program's active window again.
            formActivate(state);
            break;
        case MenuCommand::Undo:
            undoCommand(state);
            break;
        case MenuCommand::Redo:
            redoCommand(state);
            break;
        case MenuCommand::Save:
            saveSelectedFile(state);
            break;
    }
}

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
