#pragma once

#include "platform/api/clock.h"

namespace orvanta::platform::linux_backend {

// The system's wall clock in the local time zone.
class LinuxClock : public Clock {
public:
    LocalDateTime now() const override;
};

} // namespace orvanta::platform::linux_backend
