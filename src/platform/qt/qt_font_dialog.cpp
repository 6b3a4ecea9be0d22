#include "platform/qt/qt_font_dialog.h"

#include <QFont>
#include <QFontDatabase>
#include <QFontDialog>
#include <QFontInfo>
#include <algorithm>

namespace trovix::platform {

QFont QtFontDialog::toFont(const FontChoice& choice) {
    QFont font;
    if (!choice.family.isEmpty()) {
        font.setFamily(choice.family);
    }
    if (choice.pointSize > 0) {
        font.setPointSizeF(choice.pointSize);
    }
    // QFont::Weight uses the same 1..1000 scale (400 normal, 700 bold).
    font.setWeight(static_cast<QFont::Weight>(std::clamp(choice.weight.value_or(400), 1, 1000)));
    font.setItalic(choice.italic);
    return font;
}

FontChoice QtFontDialog::toChoice(const QFont& font) {
    FontChoice choice;
    choice.family = font.family();
    choice.pointSize = font.pointSizeF() > 0 ? font.pointSizeF() : QFontInfo(font).pointSizeF();
    choice.italic = font.italic();
    // A bitmap face comes in fixed cuts whose weight field is not to be trusted. Ask about the
    // face the font resolves to: a requested style such as "Bold Italic" does not name a face
    // called "Bold Oblique", and would wrongly count as not scalable.
    const QFontInfo face(font);
    if (QFontDatabase::isSmoothlyScalable(face.family(), face.styleName())) {
        choice.weight = std::clamp(static_cast<int>(font.weight()), 1, 1000);
    }
    return choice;
}

std::optional<FontChoice> QtFontDialog::chooseFont(const FontChoice& initial) {
    bool accepted = false;
    const QFont chosen = QFontDialog::getFont(&accepted, toFont(initial), owner_.get());
    if (!accepted) {
        return std::nullopt;
    }
    return toChoice(chosen);
}

}  // namespace trovix::platform
