#pragma once

#include "platform/font_dialog.h"
#include "platform/qt/owner_window.h"

class QFont;

namespace trovix::platform {

class QtFontDialog : public FontDialog {
  public:
    explicit QtFontDialog(const OwnerWindow& owner) : owner_(owner) {}

    std::optional<FontChoice> chooseFont(const FontChoice& initial) override;

    // Conversions between a choice and a QFont. A bitmap face yields no weight.
    static QFont toFont(const FontChoice& choice);
    static FontChoice toChoice(const QFont& font);

  private:
    const OwnerWindow& owner_;
};

}  // namespace trovix::platform
