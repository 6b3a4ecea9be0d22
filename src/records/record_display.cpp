#include "records/record_display.h"

#include "lists/result_list.h"
#include "state/controls.h"
#include "store/data_format.h"
#include "store/text_codec.h"

namespace trovix::records {
QString displayText(std::string_view element) {
    QString text = store::utf8ToText(element);
    text.replace(store::kRecordSepText, QStringLiteral("\r\n"));
    return text;
}

BoxText editBoxText(std::string_view element) {
    constexpr int kExcerptLines = 200;
    constexpr int kExcerptLineChars = 2000;
    bool editable = element.size() <= kEditableBytes;
    QStringList excerpt;
    std::string_view rest = element;
    for (int line = 0;; ++line) {
        const std::size_t at = store::findRecordSep(rest);
        const std::string_view text = rest.substr(0, at);
        editable = editable && text.size() <= kEditableLineBytes;
        if (line < kExcerptLines) {
            excerpt << store::shortenedUtf8(text, kExcerptLineChars);
        } else if (line == kExcerptLines) {
            excerpt << QString(QChar(0x2026));
        }
        if (at == std::string_view::npos) {
            break;
        }
        rest.remove_prefix(at + store::kRecordSep.size());
    }
    if (editable) {
        return {displayText(element), true};
    }
    return {excerpt.join(QStringLiteral("\r\n")), false};
}

void setListBackGroundColors(lists::FileSlots& slots, const Toolbar& toolbar, lists::SlotId id) {
    if (!toolbar.isPressed(fileButton(id))) {
        return;  // a hidden list is never coloured, and the others keep their colours
    }
    colourListWithFocus(slots, id);
}

void colourListWithFocus(lists::FileSlots& slots, lists::SlotId focus) {
    for (lists::SlotId id : lists::kAllSlots) {
        lists::slotOf(slots, id).list.setBackColor(id == focus ? lists::ResultList::kFocusColour
                                                               : lists::ResultList::kWhite);
    }
}

}  // namespace trovix::records
