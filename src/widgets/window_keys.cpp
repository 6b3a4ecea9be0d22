#include "widgets/window_keys.h"

#include <QKeyEvent>
#include <QKeySequence>

#include "state/command_table.h"

namespace trovix::widgets {

bool isWindowShortcut(const QKeyEvent& key) {
    const QKeySequence pressed(key.keyCombination());
    if (pressed == QKeySequence(QStringLiteral("Ctrl+V")) ||
        pressed == QKeySequence(QStringLiteral("Ctrl+A"))) {
        return false;
    }
    for (const MenuEntry& entry : kMenuBar) {
        if (*entry.shortcut != '\0' &&
            QKeySequence(QString::fromLatin1(entry.shortcut)) == pressed) {
            return true;
        }
    }
    for (const ExtraShortcut& extra : kExtraShortcuts) {
        if (QKeySequence(QString::fromLatin1(extra.shortcut)) == pressed) {
            return true;
        }
    }
    return false;
}

}  // namespace trovix::widgets
