#include "output/clipboard_copy.h"

#include "platform/native.h"

namespace trovix::output {

QString listText(const lists::ResultList& list) {
    const QString lineBreak = QString::fromLatin1(platform::nativeLineEnd());
    QString text;
    for (int row = 0; row < list.count(); ++row) {
        if (row > 0) {
            text += lineBreak;
        }
        text += list.text(row);
    }
    return text;
}

void copyList(const platform::Services& services, const lists::FileSlot* focused) {
    platform::Clipboard& clipboard = *services.clipboard;
    clipboard.clear();
    if (focused != nullptr) {
        clipboard.setText(listText(focused->list));
    }
}

void copySelection(const platform::Services& services, const lists::FileSlot* focused) {
    platform::Clipboard& clipboard = *services.clipboard;
    clipboard.clear();
    if (focused != nullptr) {
        const int row = focused->list.listIndex();
        clipboard.setText(row >= 0 ? focused->list.text(row) : QString());
    }
}

}  // namespace trovix::output
