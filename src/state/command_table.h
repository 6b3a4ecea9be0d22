#pragma once

#include <QString>
#include <array>
#include <optional>

#include "lists/slot.h"

namespace trovix {

// The commands of the toolbar buttons that have a key.
enum class Command {
    Find,
    ViewAll,
    Print,
    Edit,
    Data,
    Font,
    Copy,
    FileA,
    FileB,
    FileC,
    New,
    Delete,
    Sort,
    Select,
    Save,
    Open,
    Refresh,
    Email,
};

enum class ButtonStyle { Separator, Push, Check };

// One entry of the toolbar. A two-state (Check) button's pressed state is an option of its own,
// stored under its settings key.
struct ToolbarEntry {
    ButtonStyle style;
    std::optional<Command> command;  // none for separators
    const char* key;
    const char* toolTip;
    const char* image;
    bool pressedByDefault;
    const char* settingsKey;
};

// The toolbar from left to right.
inline constexpr ToolbarEntry kToolbar[] = {
    {ButtonStyle::Separator, std::nullopt, "", "", "", false, ""},
    {ButtonStyle::Push, Command::Find, "find", "Find", "searchresults", false, ""},
    {ButtonStyle::Push, Command::ViewAll, "viewall", "View All", "all2", false, ""},
    {ButtonStyle::Push, Command::Print, "print", "Print List", "print", false, ""},
    {ButtonStyle::Check, Command::Edit, "edit", "Display Edit Textbox", "edit", true, "AllowEdit"},
    {ButtonStyle::Check, Command::Data, "data", "Full Data Display (Read Only)", "data", false,
     "FullDataView"},
    {ButtonStyle::Push, Command::Font, "font", "Change Font", "colorfont", false, ""},
    {ButtonStyle::Push, Command::Copy, "copy", "Copy Selection to Clipboard", "copy", false, ""},
    {ButtonStyle::Separator, std::nullopt, "", "", "", false, ""},
    {ButtonStyle::Check, Command::FileA, "fileA", "Display Results (File 1)", "one", true, "ShowA"},
    {ButtonStyle::Check, Command::FileB, "fileB", "Display Results (File 2)", "two", true, "ShowB"},
    {ButtonStyle::Check, Command::FileC, "fileC", "Display Results (File 3)", "three", true,
     "ShowC"},
    {ButtonStyle::Separator, std::nullopt, "", "", "", false, ""},
    {ButtonStyle::Push, Command::New, "new", "New", "new", false, ""},
    {ButtonStyle::Push, Command::Delete, "delete", "Delete", "deletered", false, ""},
    {ButtonStyle::Push, Command::Sort, "sort", "Sort", "sort", false, ""},
    {ButtonStyle::Separator, std::nullopt, "", "", "", false, ""},
    {ButtonStyle::Push, Command::Select, "select", "Select File Name", "drive", false, ""},
    {ButtonStyle::Push, Command::Save, "save", "Save Selected File", "save2", false, ""},
    {ButtonStyle::Push, Command::Open, "open", "Open File for Direct Editing", "open", false, ""},
    {ButtonStyle::Push, Command::Refresh, "refresh", "Reload Selected File", "refresh", false, ""},
    {ButtonStyle::Separator, std::nullopt, "", "", "", false, ""},
    {ButtonStyle::Push, Command::Email, "email", "Email Author", "email", false, ""},
};

// The number of commands: one button each.
inline constexpr std::size_t kCommandCount = [] {
    std::size_t buttons = 0;
    for (const ToolbarEntry& entry : kToolbar) {
        buttons += entry.command ? 1U : 0U;
    }
    return buttons;
}();

// The toolbar holds exactly one button for each command, numbered 0 to kCommandCount - 1, and a
// separator, and only a separator, has no command: arrays indexed by command hold every one.
constexpr bool eachCommandHasOneButton() {
    std::array<int, kCommandCount> buttons{};
    for (const ToolbarEntry& entry : kToolbar) {
        if ((entry.style == ButtonStyle::Separator) == entry.command.has_value()) {
            return false;
        }
        if (entry.command) {
            const auto index = static_cast<std::size_t>(*entry.command);
            if (index >= kCommandCount) {
                return false;
            }
            ++buttons[index];
        }
    }
    for (const int count : buttons) {
        if (count != 1) {
            return false;
        }
    }
    return true;
}
static_assert(eachCommandHasOneButton(), "every command needs exactly one toolbar button");

// The entry of a command's button.
const ToolbarEntry& toolbarEntry(Command command);
// The command of a button key; keys are compared exactly.
std::optional<Command> commandOfKey(const QString& key);
QString commandKey(Command command);
bool isTwoState(Command command);

// The button that shows or hides a slot's result list.
inline Command fileButton(lists::SlotId id) {
    return static_cast<Command>(static_cast<int>(Command::FileA) + static_cast<int>(id));
}
// The slot whose list a file button shows, for Command::FileA to FileC.
std::optional<lists::SlotId> slotOfFileButton(Command command);

// The check marks of the Options menu, in the order the settings store them.
enum class Option {
    IgnoreCase,
    SearchWhileTyping,
    DisplayFileNames,
    AutoSave,
    OnTop,
    ReloadChangedFiles,
    HighlightMatches,
};

struct OptionEntry {
    Option option;
    const char* settingsKey;
    bool checkedByDefault;
};

inline constexpr OptionEntry kOptions[] = {
    {Option::IgnoreCase, "IgnoreCase", true},
    {Option::SearchWhileTyping, "Typing", false},
    {Option::DisplayFileNames, "DisplayFileNames", false},
    {Option::AutoSave, "AutoSave", false},
    {Option::OnTop, "OnTop", false},
    {Option::ReloadChangedFiles, "ReloadChangedFiles", true},
    {Option::HighlightMatches, "HighlightMatches", true},
};
inline constexpr std::size_t kOptionCount = std::size(kOptions);

// The commands of the menu bar.
enum class MenuCommand {
    PrintForm,
    PrintSelection,
    PrintList,
    CopySelection,
    CopyList,
    Compact,
    Backup,
    Restore,
    EmailAuthor,
    WebSite,
    OnlineUpdate,
    About,
    Undo,
    Redo,
    Save,
};

enum class MenuItemKind { Menu, Command, Check, Separator };

// One entry of the menu bar: a menu, then its items up to the next menu. "&" marks the access
// letter.
struct MenuEntry {
    MenuItemKind kind;
    const char* name;
    const char* caption;
    const char* shortcut;
    MenuCommand command;  // Command items
    Option option;        // Check items
};

inline constexpr MenuEntry kMenuBar[] = {
    {MenuItemKind::Menu, "mnuActions", "&Actions", "", {}, {}},
    {MenuItemKind::Command, "mnuPrintForm", "Print &Form", "", MenuCommand::PrintForm, {}},
    {MenuItemKind::Command,
     "mnuPrintSelection",
     "Print &Selection",
     "Ctrl+S",
     MenuCommand::PrintSelection,
     {}},
    {MenuItemKind::Command, "mnuPrintList", "Print &List", "Ctrl+P", MenuCommand::PrintList, {}},
    {MenuItemKind::Separator, "mnuSel01", "-", "", {}, {}},
    {MenuItemKind::Command,
     "mnuCopySelection",
     "&Copy Selection to Clipboard",
     "Ctrl+J",
     MenuCommand::CopySelection,
     {}},
    {MenuItemKind::Command,
     "mnuCopyList",
     "Copy List to Clip&Board",
     "Ctrl+L",
     MenuCommand::CopyList,
     {}},
    {MenuItemKind::Separator, "mnuSel03", "-", "", {}, {}},
    {MenuItemKind::Command, "mnuCompact", "Co&mpact", "Ctrl+M", MenuCommand::Compact, {}},
    {MenuItemKind::Separator, "mnuSel00", "-", "", {}, {}},
    {MenuItemKind::Command, "mnuBackup", "&Backup", "Ctrl+B", MenuCommand::Backup, {}},
    {MenuItemKind::Command, "mnuRestore", "&Restore", "Ctrl+R", MenuCommand::Restore, {}},
    {MenuItemKind::Separator, "mnuSel04", "-", "", {}, {}},
    {MenuItemKind::Command, "mnuUndo", "&Undo", "Ctrl+Z", MenuCommand::Undo, {}},
    {MenuItemKind::Command, "mnuRedo", "Re&do", "Ctrl+Shift+Z", MenuCommand::Redo, {}},
    {MenuItemKind::Command, "mnuSave", "Sa&ve", "Ctrl+Shift+S", MenuCommand::Save, {}},
    {MenuItemKind::Menu, "mnuOptions", "&Options", "", {}, {}},
    {MenuItemKind::Check, "mnuIgnoreCase", "&Ignore Case", "", {}, Option::IgnoreCase},
    {MenuItemKind::Check, "mnuAutoSave", "&AutoSave", "", {}, Option::AutoSave},
    {MenuItemKind::Check,
     "mnuSearchWhileTyping",
     "&Search While &Typing",
     "Ctrl+V",
     {},
     Option::SearchWhileTyping},
    {MenuItemKind::Check,
     "mnuDisplayFileNames",
     "&Display File Names",
     "Ctrl+F",
     {},
     Option::DisplayFileNames},
    {MenuItemKind::Check, "mnuOnTop", "&On top", "", {}, Option::OnTop},
    {MenuItemKind::Check,
     "mnuReloadChangedFiles",
     "&Reload Changed Files",
     "",
     {},
     Option::ReloadChangedFiles},
    {MenuItemKind::Check,
     "mnuHighlightMatches",
     "&Highlight Matches",
     "Ctrl+H",
     {},
     Option::HighlightMatches},
    {MenuItemKind::Menu, "mnuHelp", "&Help", "", {}, {}},
    {MenuItemKind::Command, "mnuEmail", "&Email Author", "Ctrl+E", MenuCommand::EmailAuthor, {}},
    {MenuItemKind::Command, "mnuWebSite", "&WebSite", "Ctrl+W", MenuCommand::WebSite, {}},
    {MenuItemKind::Command,
     "mnuOnlineUpdate",
     "&Online Update",
     "Ctrl+U",
     MenuCommand::OnlineUpdate,
     {}},
    {MenuItemKind::Command, "mnuAbout", "&About", "Ctrl+A", MenuCommand::About, {}},
};

// Further keys of a menu command, beside the shortcut its item shows.
struct ExtraShortcut {
    MenuCommand command;
    const char* shortcut;
};
inline constexpr ExtraShortcut kExtraShortcuts[] = {{MenuCommand::Redo, "Ctrl+Y"}};

}  // namespace trovix
