#pragma once

#include "platform/api/clock.h"

namespace orvanta::platform::windows_backend {

// The local time of the system clock.
class WindowsClock : public Clock {
  public:
    LocalDateTime now() const override;
};

} // namespace orvanta::platform::windows_backend
