#include "state/command_table.h"

#include <QtGlobal>

namespace trovix {
namespace {

// Each command's entry, found once.
const std::array<const ToolbarEntry*, kCommandCount>& entriesByCommand() {
    static const auto entries = [] {
        std::array<const ToolbarEntry*, kCommandCount> byCommand{};
        for (const ToolbarEntry& entry : kToolbar) {
            if (entry.command) {
                byCommand[static_cast<std::size_t>(*entry.command)] = &entry;
            }
        }
        return byCommand;
    }();
    return entries;
}

}  // namespace

const ToolbarEntry& toolbarEntry(Command command) {
    const auto index = static_cast<std::size_t>(command);
    Q_ASSERT(index < kCommandCount);
    const ToolbarEntry* entry = entriesByCommand()[index];
    // Every command has its button: eachCommandHasOneButton() holds.
    Q_ASSERT(entry != nullptr);
    return *entry;
}

std::optional<Command> commandOfKey(const QString& key) {
    for (const ToolbarEntry& entry : kToolbar) {
        if (entry.command && key == QLatin1String(entry.key)) {
            return entry.command;
        }
    }
    return std::nullopt;
}

QString commandKey(Command command) {
    return QString::fromLatin1(toolbarEntry(command).key);
}

bool isTwoState(Command command) {
    return toolbarEntry(command).style == ButtonStyle::Check;
}

std::optional<lists::SlotId> slotOfFileButton(Command command) {
    const int n = static_cast<int>(command) - static_cast<int>(Command::FileA);
    if (n < 0 || n > 2) {
        return std::nullopt;
    }
    return static_cast<lists::SlotId>(n);
}

}  // namespace trovix
