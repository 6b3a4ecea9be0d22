#pragma once

#include "platform/qt/owner_window.h"
#include "platform/window_control.h"

namespace trovix::platform {

// The main window, once it is named in the owner: closed as QWidget::close() closes it, and
// asked for its About window through its "showAbout" slot, which runs before this returns.
// Before the window exists, and once it is gone, nothing happens.
class QtWindowControl : public WindowControl {
  public:
    explicit QtWindowControl(OwnerWindow& owner) : owner_(owner) {}
    void closeWindow() override;
    void showAbout(const QString& caption) override;

  private:
    OwnerWindow& owner_;
};

}  // namespace trovix::platform
