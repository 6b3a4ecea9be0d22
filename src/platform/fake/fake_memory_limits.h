#pragma once

#include "platform/memory_limits.h"

namespace trovix::platform {

// As much room as a test gives.
class FakeMemoryLimits : public MemoryLimits {
  public:
    MemoryRoom room() const override { return given; }
    MemoryRoom given;
};

}  // namespace trovix::platform
