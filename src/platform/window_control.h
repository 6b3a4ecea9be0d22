#pragma once

#include <QString>

namespace trovix::platform {

// What the core asks of the main window itself.
class WindowControl {
  public:
    virtual ~WindowControl() = default;
    // Closes the main window by its normal close path, as the user does.
    virtual void closeWindow() = 0;
    // Shows the About window with this caption, modal; returns once it is closed.
    virtual void showAbout(const QString& caption) = 0;
};

}  // namespace trovix::platform
