#pragma once

#include "platform/qt/owner_window.h"
#include "platform/screen.h"

namespace trovix::platform {

// The screens QGuiApplication knows of. Dots per inch are those of the screen the main window
// is on, or of the primary screen before it has one.
class QtScreen : public Screen {
  public:
    explicit QtScreen(const OwnerWindow& window) : window_(window) {}
    double logicalDpi() const override;
    QRect primaryGeometry() const override;
    QList<QRect> availableGeometries() const override;
    bool canPlaceWindows() const override;
    void showBusyPointer(bool busy) override;

  private:
    const OwnerWindow& window_;
};

}  // namespace trovix::platform
