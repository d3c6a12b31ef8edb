#pragma once

#include "platform/api/clock.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <time.h>

namespace orvanta::platform::linux_backend {

// The process's time zone's offset from UTC at an absolute moment, in milliseconds.
std::int64_t utcOffsetMs(std::int64_t utcMs);

// The absolute moment (UTC milliseconds) of a wall-clock reading in the process's time zone: the first
// instance of a repeated time, the first moment after the gap for a skipped one.
std::int64_t wallToUtcMs(std::int64_t wallMs);

// The absolute moment a local wall-clock date and time stands for, resolved as wallToUtcMs does.
// nullopt when a field is outside the calendar (month 13, 30 February, hour 24, ...).
std::optional<timespec> LocalToRealtime(const LocalDateTime& local);

// Milliseconds on the boot clock, which keeps counting while the computer sleeps.
std::chrono::milliseconds BootTimeNow();

} // namespace orvanta::platform::linux_backend
