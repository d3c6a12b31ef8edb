#pragma once

#include "platform/api/clock.h"

namespace orvanta::platform::linux_backend {

// The system's wall clock in the local time zone.
class LinuxClock : public Clock {
  public:
    LocalDateTime now() const override;
    std::int64_t nowUtcMs() const override;
    std::int64_t utcMsOf(const LocalDateTime& local) const override;
    LocalDateTime localOf(std::int64_t utcMs) const override;
    void refreshZone() const override;
    std::optional<std::int64_t> nextOffsetChangeUtcMs(std::int64_t utcMs) const override;
};

} // namespace orvanta::platform::linux_backend
