#pragma once

#include <compare>

namespace orvanta::platform {

// A local (wall-clock) date and time with milliseconds, as the user's desktop shows it.
struct LocalDateTime {
    int year = 1970;
    int month = 1; // 1-12
    int day = 1;   // 1-31
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;

    auto operator<=>(const LocalDateTime&) const = default;
};

// Every reading of "now" in the core goes through this, so tests can drive time.
class Clock {
public:
    virtual ~Clock() = default;
    virtual LocalDateTime now() const = 0;
};

} // namespace orvanta::platform
