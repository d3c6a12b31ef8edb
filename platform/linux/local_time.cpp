#include "platform/linux/local_time.h"

#include "platform/api/local_time_resolution.h"

namespace orvanta::platform::linux_backend {
namespace {

bool IsLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

bool InCalendar(const LocalDateTime& t) {
    if (t.year < 1900 || t.month < 1 || t.month > 12) return false;
    if (t.day < 1 || t.day > DaysInMonth(t.year, t.month)) return false;
    return t.hour >= 0 && t.hour <= 23 && t.minute >= 0 && t.minute <= 59 && t.second >= 0 &&
           t.second <= 59 && t.millisecond >= 0 && t.millisecond <= 999;
}

} // namespace

std::int64_t utcOffsetMs(std::int64_t utcMs) {
    const time_t seconds = static_cast<time_t>(utcMs >= 0 ? utcMs / 1000 : (utcMs - 999) / 1000);
    tm fields{};
    if (!localtime_r(&seconds, &fields)) return 0;
    return static_cast<std::int64_t>(fields.tm_gmtoff) * 1000;
}

std::int64_t wallToUtcMs(std::int64_t wallMs) {
    return ResolveWallTime(wallMs, utcOffsetMs);
}

std::optional<timespec> LocalToRealtime(const LocalDateTime& local) {
    if (!InCalendar(local)) return std::nullopt;
    // Resolved from the zone's offsets rather than by mktime, whose answer for a repeated hour depends
    // on what it was asked before.
    const std::int64_t ms = wallToUtcMs(WallMilliseconds(local));
    const std::int64_t seconds = ms >= 0 ? ms / 1000 : (ms - 999) / 1000;
    return timespec{static_cast<time_t>(seconds), static_cast<long>((ms - seconds * 1000) * 1000000L)};
}

std::chrono::milliseconds BootTimeNow() {
    timespec ts{};
    clock_gettime(CLOCK_BOOTTIME, &ts);
    return std::chrono::seconds(ts.tv_sec) +
           std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::nanoseconds(ts.tv_nsec));
}

} // namespace orvanta::platform::linux_backend
