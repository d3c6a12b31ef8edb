#pragma once

#include "platform/api/clock.h"

#include <chrono>
#include <optional>
#include <time.h>

namespace orvanta::platform::linux_backend {

// The absolute moment a local wall-clock date and time stands for, in the process's time zone with its
// daylight-saving rules for that date. A time that falls into the hour skipped by a daylight-saving change
// comes out shifted by that hour, as mktime resolves it. nullopt when a field is outside the calendar
// (month 13, 30 February, hour 24, ...).
std::optional<timespec> localToRealtime(const LocalDateTime& local);

// Milliseconds on the boot clock, which keeps counting while the computer sleeps.
std::chrono::milliseconds bootTimeNow();

} // namespace orvanta::platform::linux_backend
