#pragma once

#include "platform/screen.h"

namespace trovix::platform {

// The screens QGuiApplication knows of.
class QtScreen : public Screen {
  public:
    double logicalDpi() const override;
    QRect primaryGeometry() const override;
    QList<QRect> availableGeometries() const override;
};

}  // namespace trovix::platform
