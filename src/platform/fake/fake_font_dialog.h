#pragma once

#include <QList>

#include "platform/font_dialog.h"

namespace trovix::platform {

// Records the choice each dialog started from and returns `result` (nothing: cancelled).
class FakeFontDialog : public FontDialog {
  public:
    std::optional<FontChoice> chooseFont(const FontChoice& initial) override {
        initials.append(initial);
        return result;
    }

    QList<FontChoice> initials;
    std::optional<FontChoice> result;
};

}  // namespace trovix::platform
