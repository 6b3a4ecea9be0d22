#include "output/clipboard_copy.h"

#include "platform/native.h"
#include "state/main_state.h"

namespace trovix::output {

void copyList(MainState& state) {
    platform::Clipboard& clipboard = *state.services.clipboard;
    clipboard.clear();
    const lists::FileSlot* slot = state.focusedSlot();
    if (slot == nullptr) {
        return;
    }
    const QString lineBreak = QString::fromLatin1(platform::nativeLineEnd());
    QString text;
    for (int row = 0; row < slot->list.count(); ++row) {
        if (row > 0) {
            text += lineBreak;
        }
        text += slot->list.text(row);
    }
    clipboard.setText(text);
}

void copySelection(MainState& state) {
    platform::Clipboard& clipboard = *state.services.clipboard;
    clipboard.clear();
    if (const lists::FileSlot* slot = state.focusedSlot()) {
        const int row = slot->list.listIndex();
        clipboard.setText(row >= 0 ? slot->list.text(row) : QString());
    }
}

}  // namespace trovix::output
