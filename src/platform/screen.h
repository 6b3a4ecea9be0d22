#pragma once

#include <QList>
#include <QRect>

namespace trovix::platform {

// Metrics of the screens, in device-independent pixels.
class Screen {
  public:
    virtual ~Screen() = default;
    // Logical dots per inch of the primary screen (96 on most desktops).
    virtual double logicalDpi() const = 0;
    // Twips per pixel: 1440 twips make an inch.
    double twipsPerPixel() const { return 1440.0 / logicalDpi(); }
    virtual QRect primaryGeometry() const = 0;
    virtual QList<QRect> availableGeometries() const = 0;
    // Whether the program may place its window: a Wayland compositor places every window
    // itself and does not tell the program where.
    virtual bool canPlaceWindows() const = 0;
    // Shows the busy pointer over the program's windows, or the normal one again. Calls nest.
    virtual void showBusyPointer(bool busy) = 0;
};

}  // namespace trovix::platform
