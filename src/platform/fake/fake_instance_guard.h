#pragma once

#include "platform/instance_guard.h"

namespace trovix::platform {

class FakeInstanceGuard : public InstanceGuard {
  public:
    bool anotherCopyRunning() override { return running; }

    bool running = false;
};

}  // namespace trovix::platform
