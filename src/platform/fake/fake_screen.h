#pragma once

#include "platform/screen.h"

namespace trovix::platform {

// One 1920x1080 screen at 96 dpi unless a test says otherwise.
class FakeScreen : public Screen {
  public:
    double logicalDpi() const override { return dpi; }
    QRect primaryGeometry() const override { return primary; }
    QList<QRect> availableGeometries() const override { return available; }
    bool canPlaceWindows() const override { return placeable; }
    void showBusyPointer(bool busy) override { busyPointers += busy ? 1 : -1; }

    double dpi = 96.0;
    QRect primary{0, 0, 1920, 1080};
    QList<QRect> available{QRect(0, 0, 1920, 1080)};
    bool placeable = true;
    int busyPointers = 0;  // shown and not yet taken back
};

}  // namespace trovix::platform
