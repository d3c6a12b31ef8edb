#include "scheduler/calendar.h"

namespace orvanta::scheduler {

bool IsLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// The civil-date arithmetic is the clock's own, so a day number and a wall-clock reading never disagree.
std::int64_t DayNumber(const Date& date) {
    return platform::WallMilliseconds({date.year, date.month, date.day, 0, 0, 0, 0}) / 86'400'000;
}

Date DateFromDayNumber(std::int64_t dayNumber) {
    const platform::LocalDateTime t = platform::FromWallMilliseconds(dayNumber * 86'400'000);
    return {t.year, t.month, t.day};
}

int WeekdayNumber(std::int64_t dayNumber) {
    // 1970-01-01 was a Thursday (5).
    const std::int64_t fromSunday = ((dayNumber + 4) % 7 + 7) % 7;
    return static_cast<int>(fromSunday) + 1;
}

Date ClampedDate(int year, int month, int day) {
    const int last = DaysInMonth(year, month);
    return {year, month, day > last ? last : day};
}

Date NextMonthClamped(const Date& date, int storedDay) {
    return date.month == 12 ? ClampedDate(date.year + 1, 1, storedDay)
                            : ClampedDate(date.year, date.month + 1, storedDay);
}

Date DateOf(const platform::LocalDateTime& t) {
    return {t.year, t.month, t.day};
}

std::int64_t MillisecondOfDay(const platform::LocalDateTime& t) {
    return ((t.hour * 60LL + t.minute) * 60 + t.second) * 1000 + t.millisecond;
}

std::int64_t LocalMilliseconds(const platform::LocalDateTime& t) {
    return platform::WallMilliseconds(t);
}

platform::LocalDateTime FromLocalMilliseconds(std::int64_t ms) {
    return platform::FromWallMilliseconds(ms);
}

} // namespace orvanta::scheduler
