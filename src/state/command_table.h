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
// stored under its settings key. The tool tip is English, translated (context "CommandTable")
// where it is shown.
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
    {ButtonStyle::Push, Command::Find, "find", QT_TRANSLATE_NOOP("CommandTable", "Find"),
     "searchresults", false, ""},
    {ButtonStyle::Push, Command::ViewAll, "viewall", QT_TRANSLATE_NOOP("CommandTable", "View All"),
     "all2", false, ""},
    {ButtonStyle::Push, Command::Print, "print", QT_TRANSLATE_NOOP("CommandTable", "Print List"),
     "print", false, ""},
    {ButtonStyle::Check, Command::Edit, "edit",
     QT_TRANSLATE_NOOP("CommandTable", "Display Edit Textbox"), "edit", true, "AllowEdit"},
    {ButtonStyle::Check, Command::Data, "data",
     QT_TRANSLATE_NOOP("CommandTable", "Full Data Display (Read Only)"), "data", false,
     "FullDataView"},
    {ButtonStyle::Push, Command::Font, "font", QT_TRANSLATE_NOOP("CommandTable", "Change Font"),
     "colorfont", false, ""},
    {ButtonStyle::Push, Command::Copy, "copy",
     QT_TRANSLATE_NOOP("CommandTable", "Copy Selection to Clipboard"), "copy", false, ""},
    {ButtonStyle::Separator, std::nullopt, "", "", "", false, ""},
    {ButtonStyle::Check, Command::FileA, "fileA",
     QT_TRANSLATE_NOOP("CommandTable", "Display Results (File 1)"), "one", true, "ShowA"},
    {ButtonStyle::Check, Command::FileB, "fileB",
     QT_TRANSLATE_NOOP("CommandTable", "Display Results (File 2)"), "two", true, "ShowB"},
    {ButtonStyle::Check, Command::FileC, "fileC",
     QT_TRANSLATE_NOOP("CommandTable", "Display Results (File 3)"), "three", true, "ShowC"},
    {ButtonStyle::Separator, std::nullopt, "", "", "", false, ""},
    {ButtonStyle::Push, Command::New, "new", QT_TRANSLATE_NOOP("CommandTable", "New"), "new", false,
     ""},
    {ButtonStyle::Push, Command::Delete, "delete", QT_TRANSLATE_NOOP("CommandTable", "Delete"),
     "deletered", false, ""},
    {ButtonStyle::Push, Command::Sort, "sort", QT_TRANSLATE_NOOP("CommandTable", "Sort"), "sort",
     false, ""},
    {ButtonStyle::Separator, std::nullopt, "", "", "", false, ""},
    {ButtonStyle::Push, Command::Select, "select",
     QT_TRANSLATE_NOOP("CommandTable", "Select File Name"), "drive", false, ""},
    {ButtonStyle::Push, Command::Save, "save",
     QT_TRANSLATE_NOOP("CommandTable", "Save Selected File"), "save2", false, ""},
    {ButtonStyle::Push, Command::Open, "open",
     QT_TRANSLATE_NOOP("CommandTable", "Open File for Direct Editing"), "open", false, ""},
    {ButtonStyle::Push, Command::Refresh, "refresh",
     QT_TRANSLATE_NOOP("CommandTable", "Reload Selected File"), "refresh", false, ""},
    {ButtonStyle::Separator, std::nullopt, "", "", "", false, ""},
    {ButtonStyle::Push, Command::Email, "email", QT_TRANSLATE_NOOP("CommandTable", "Email Author"),
     "email", false, ""},
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
// letter. The caption is English, translated (context "CommandTable") where it is shown.
struct MenuEntry {
    MenuItemKind kind;
    const char* name;
    const char* caption;
    const char* shortcut;
    MenuCommand command;  // Command items
    Option option;        // Check items
};

inline constexpr MenuEntry kMenuBar[] = {
    {MenuItemKind::Menu, "mnuActions", QT_TRANSLATE_NOOP("CommandTable", "&Actions"), "", {}, {}},
    {MenuItemKind::Command,
     "mnuPrintForm",
     QT_TRANSLATE_NOOP("CommandTable", "Print &Form"),
     "",
     MenuCommand::PrintForm,
     {}},
    {MenuItemKind::Command,
     "mnuPrintSelection",
     QT_TRANSLATE_NOOP("CommandTable", "Print &Selection"),
     "Ctrl+S",
     MenuCommand::PrintSelection,
     {}},
    {MenuItemKind::Command,
     "mnuPrintList",
     QT_TRANSLATE_NOOP("CommandTable", "Print &List"),
     "Ctrl+P",
     MenuCommand::PrintList,
     {}},
    {MenuItemKind::Separator, "mnuSel01", "-", "", {}, {}},
    {MenuItemKind::Command,
     "mnuCopySelection",
     QT_TRANSLATE_NOOP("CommandTable", "&Copy Selection to Clipboard"),
     "Ctrl+J",
     MenuCommand::CopySelection,
     {}},
    {MenuItemKind::Command,
     "mnuCopyList",
     QT_TRANSLATE_NOOP("CommandTable", "Copy List to Clip&Board"),
     "Ctrl+L",
     MenuCommand::CopyList,
     {}},
    {MenuItemKind::Separator, "mnuSel03", "-", "", {}, {}},
    {MenuItemKind::Command,
     "mnuCompact",
     QT_TRANSLATE_NOOP("CommandTable", "Co&mpact"),
     "Ctrl+M",
     MenuCommand::Compact,
     {}},
    {MenuItemKind::Separator, "mnuSel00", "-", "", {}, {}},
    {MenuItemKind::Command,
     "mnuBackup",
     QT_TRANSLATE_NOOP("CommandTable", "&Backup"),
     "Ctrl+B",
     MenuCommand::Backup,
     {}},
    {MenuItemKind::Command,
     "mnuRestore",
     QT_TRANSLATE_NOOP("CommandTable", "&Restore"),
     "Ctrl+R",
     MenuCommand::Restore,
     {}},
    {MenuItemKind::Separator, "mnuSel04", "-", "", {}, {}},
    {MenuItemKind::Command,
     "mnuUndo",
     QT_TRANSLATE_NOOP("CommandTable", "&Undo"),
     "Ctrl+Z",
     MenuCommand::Undo,
     {}},
    {MenuItemKind::Command,
     "mnuRedo",
     QT_TRANSLATE_NOOP("CommandTable", "Re&do"),
     "Ctrl+Shift+Z",
     MenuCommand::Redo,
     {}},
    {MenuItemKind::Command,
     "mnuSave",
     QT_TRANSLATE_NOOP("CommandTable", "Sa&ve"),
     "Ctrl+Shift+S",
     MenuCommand::Save,
     {}},
    {MenuItemKind::Menu, "mnuOptions", QT_TRANSLATE_NOOP("CommandTable", "&Options"), "", {}, {}},
    {MenuItemKind::Check,
     "mnuIgnoreCase",
     QT_TRANSLATE_NOOP("CommandTable", "&Ignore Case"),
     "",
     {},
     Option::IgnoreCase},
    {MenuItemKind::Check,
     "mnuAutoSave",
     QT_TRANSLATE_NOOP("CommandTable", "&AutoSave"),
     "",
     {},
     Option::AutoSave},
    {MenuItemKind::Check,
     "mnuSearchWhileTyping",
     QT_TRANSLATE_NOOP("CommandTable", "&Search While &Typing"),
     "Ctrl+V",
     {},
     Option::SearchWhileTyping},
    {MenuItemKind::Check,
     "mnuDisplayFileNames",
     QT_TRANSLATE_NOOP("CommandTable", "&Display File Names"),
     "Ctrl+F",
     {},
     Option::DisplayFileNames},
    {MenuItemKind::Check,
     "mnuOnTop",
     QT_TRANSLATE_NOOP("CommandTable", "&On top"),
     "",
     {},
     Option::OnTop},
    {MenuItemKind::Check,
     "mnuReloadChangedFiles",
     QT_TRANSLATE_NOOP("CommandTable", "&Reload Changed Files"),
     "",
     {},
     Option::ReloadChangedFiles},
    {MenuItemKind::Check,
     "mnuHighlightMatches",
     QT_TRANSLATE_NOOP("CommandTable", "&Highlight Matches"),
     "Ctrl+H",
     {},
     Option::HighlightMatches},
    {MenuItemKind::Menu, "mnuHelp", QT_TRANSLATE_NOOP("CommandTable", "&Help"), "", {}, {}},
    {MenuItemKind::Command,
     "mnuEmail",
     QT_TRANSLATE_NOOP("CommandTable", "&Email Author"),
     "Ctrl+E",
     MenuCommand::EmailAuthor,
     {}},
    {MenuItemKind::Command,
     "mnuWebSite",
     QT_TRANSLATE_NOOP("CommandTable", "&WebSite"),
     "Ctrl+W",
     MenuCommand::WebSite,
     {}},
    {MenuItemKind::Command,
     "mnuOnlineUpdate",
     QT_TRANSLATE_NOOP("CommandTable", "&Online Update"),
     "Ctrl+U",
     MenuCommand::OnlineUpdate,
     {}},
    {MenuItemKind::Command,
     "mnuAbout",
     QT_TRANSLATE_NOOP("CommandTable", "&About"),
     "Ctrl+A",
     MenuCommand::About,
     {}},
};

// Further keys of a menu command, beside the shortcut its item shows.
struct ExtraShortcut {
    MenuCommand command;
    const char* shortcut;
};
inline constexpr ExtraShortcut kExtraShortcuts[] = {{MenuCommand::Redo, "Ctrl+Y"}};

}  // namespace trovix
