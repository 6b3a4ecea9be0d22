#pragma once

#include <QString>
#include <optional>

namespace trovix::platform {

struct FontChoice {
    QString family;
    double pointSize = 10.0;
    // Weight on the 1..1000 scale (400 regular, 700 bold); nothing when the face gives no
    // reliable weight (bitmap faces).
    std::optional<int> weight;
    bool italic = false;
};

class FontDialog {
  public:
    virtual ~FontDialog() = default;
    // Shows the dialog starting from `initial`; nothing when the user cancelled.
    virtual std::optional<FontChoice> chooseFont(const FontChoice& initial) = 0;
};

}  // namespace trovix::platform
