#include "scheduler/calendar.h"

namespace orvanta::scheduler {

bool IsLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// Counts in 400-year eras starting on 1 March, so the leap day is the last day of its year and the
// month lengths follow a fixed pattern.
std::int64_t DayNumber(const Date& date) {
    const std::int64_t y = date.year - (date.month <= 2 ? 1 : 0);
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yearOfEra = y - era * 400;
    const std::int64_t shiftedMonth = date.month > 2 ? date.month - 3 : date.month + 9;
    const std::int64_t dayOfYear = (153 * shiftedMonth + 2) / 5 + date.day - 1;
    const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

Date DateFromDayNumber(std::int64_t dayNumber) {
    const std::int64_t z = dayNumber + 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const std::int64_t dayOfEra = z - era * 146097;
    const std::int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const std::int64_t shiftedMonth = (5 * dayOfYear + 2) / 153;
    const int day = static_cast<int>(dayOfYear - (153 * shiftedMonth + 2) / 5 + 1);
    const int month = static_cast<int>(shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9);
    const int year = static_cast<int>(yearOfEra + era * 400 + (month <= 2 ? 1 : 0));
    return {year, month, day};
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
    return DayNumber(DateOf(t)) * 86'400'000LL + MillisecondOfDay(t);
}

platform::LocalDateTime FromLocalMilliseconds(std::int64_t ms) {
    return platform::FromWallMilliseconds(ms);
}

} // namespace orvanta::scheduler
