#pragma once

#include <QPointer>
#include <QWidget>

namespace trovix::platform {

// The main window that message boxes, dialogs and print jobs belong to. The services are made
// before the window, so that they outlive it; the window is named here once it exists. Before
// that, and once it is gone, there is none, and a dialog has no owner.
class OwnerWindow {
  public:
    void set(QWidget* window) { window_ = window; }
    QWidget* get() const { return window_.data(); }

  private:
    QPointer<QWidget> window_;
};

}  // namespace trovix::platform
