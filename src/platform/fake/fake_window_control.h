#pragma once

#include <QStringList>

#include "platform/window_control.h"

namespace trovix::platform {

// Records what the core asked of the window.
class FakeWindowControl : public WindowControl {
  public:
    int closes = 0;
    QStringList aboutCaptions;  // one per About window shown
    void closeWindow() override { ++closes; }
    void showAbout(const QString& caption) override { aboutCaptions << caption; }
};

}  // namespace trovix::platform
