#pragma once

#include "platform/font_dialog.h"

class QFont;
class QWidget;

namespace trovix::platform {

class QtFontDialog : public FontDialog {
  public:
    explicit QtFontDialog(QWidget* parent) : parent_(parent) {}

    std::optional<FontChoice> chooseFont(const FontChoice& initial) override;

    // Conversions between a choice and a QFont. A bitmap face yields no weight.
    static QFont toFont(const FontChoice& choice);
    static FontChoice toChoice(const QFont& font);

  private:
    QWidget* parent_;
};

}  // namespace trovix::platform
