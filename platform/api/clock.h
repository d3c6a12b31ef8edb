#pragma once

#include <compare>
#include <cstdint>
#include <optional>

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

// Milliseconds since 1970-01-01 00:00:00 of a date and time read as if it were UTC: the "local
// milliseconds" of a wall-clock reading. Valid for every year a task can hold.
constexpr std::int64_t WallMilliseconds(const LocalDateTime& t) {
    // Days from the civil date (proleptic Gregorian), as in H. Hinnant's days_from_civil.
    const std::int64_t y = t.year - (t.month <= 2 ? 1 : 0);
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yoe = y - era * 400;
    const std::int64_t mp = (t.month + 9) % 12;
    const std::int64_t doy = (153 * mp + 2) / 5 + t.day - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    const std::int64_t days = era * 146097 + doe - 719468;
    return ((days * 24 + t.hour) * 60 + t.minute) * 60'000LL + t.second * 1000LL + t.millisecond;
}

// The date and time of milliseconds since 1970 read as UTC; the inverse of WallMilliseconds.
constexpr LocalDateTime FromWallMilliseconds(std::int64_t wallMs) {
    constexpr std::int64_t kDay = 86'400'000;
    std::int64_t days = wallMs >= 0 ? wallMs / kDay : (wallMs - (kDay - 1)) / kDay;
    const std::int64_t ofDay = wallMs - days * kDay;
    // Civil from days (H. Hinnant).
    days += 719468;
    const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const std::int64_t doe = days - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    const int day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    const int month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    const int year = static_cast<int>(yoe + era * 400 + (month <= 2 ? 1 : 0));
    return {year,
            month,
            day,
            static_cast<int>(ofDay / 3'600'000),
            static_cast<int>(ofDay / 60'000 % 60),
            static_cast<int>(ofDay / 1000 % 60),
            static_cast<int>(ofDay % 1000)};
}

// Every reading of "now" in the core goes through this, so tests can drive time.
//
// Wall-clock times are what tasks are written in and what the user sees; absolute moments (UTC
// milliseconds) are what decides whether a moment has come. The two differ by the zone's offset, which
// changes at daylight-saving changes: a clock that falls back shows an hour twice, one that springs
// forward skips an hour. A clock that knows nothing of zones (the defaults) treats local time as UTC.
class Clock {
  public:
    virtual ~Clock() = default;
    virtual LocalDateTime now() const = 0;

    // The absolute moment of now, in UTC milliseconds since 1970.
    virtual std::int64_t nowUtcMs() const { return WallMilliseconds(now()); }

    // The absolute moment a wall-clock time stands for, the same whatever was asked before: a time the
    // clock shows twice is its first instance, a time the clock skips is the first moment after the gap.
    virtual std::int64_t utcMsOf(const LocalDateTime& local) const { return WallMilliseconds(local); }

    // The wall-clock reading of an absolute moment.
    virtual LocalDateTime localOf(std::int64_t utcMs) const { return FromWallMilliseconds(utcMs); }

    // Takes up a change of the system's time zone (asked at every poll).
    virtual void refreshZone() const {}

    // The first moment after utcMs at which the zone's offset changes, when one comes within a year.
    virtual std::optional<std::int64_t> nextOffsetChangeUtcMs(std::int64_t /*utcMs*/) const {
        return std::nullopt;
    }
};

} // namespace orvanta::platform
