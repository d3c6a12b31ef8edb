#include "platform/linux/local_time.h"

namespace orvanta::platform::linux_backend {
namespace {

bool isLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int daysInMonth(int year, int month) {
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeapYear(year) ? 29 : kDays[month - 1];
}

bool inCalendar(const LocalDateTime& t) {
    if (t.year < 1900 || t.month < 1 || t.month > 12) return false;
    if (t.day < 1 || t.day > daysInMonth(t.year, t.month)) return false;
    return t.hour >= 0 && t.hour <= 23 && t.minute >= 0 && t.minute <= 59 && t.second >= 0 &&
           t.second <= 59 && t.millisecond >= 0 && t.millisecond <= 999;
}

} // namespace

std::optional<timespec> localToRealtime(const LocalDateTime& local) {
    if (!inCalendar(local)) return std::nullopt;
    tm fields{};
    fields.tm_year = local.year - 1900;
    fields.tm_mon = local.month - 1;
    fields.tm_mday = local.day;
    fields.tm_hour = local.hour;
    fields.tm_min = local.minute;
    fields.tm_sec = local.second;
    // Let the zone rules decide whether daylight-saving time applies on that date, not today's state.
    fields.tm_isdst = -1;
    const time_t seconds = mktime(&fields);
    if (seconds == static_cast<time_t>(-1)) return std::nullopt;
    return timespec{seconds, static_cast<long>(local.millisecond) * 1000000L};
}

std::chrono::milliseconds bootTimeNow() {
    timespec ts{};
    clock_gettime(CLOCK_BOOTTIME, &ts);
    return std::chrono::seconds(ts.tv_sec) +
           std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::nanoseconds(ts.tv_nsec));
}

} // namespace orvanta::platform::linux_backend
