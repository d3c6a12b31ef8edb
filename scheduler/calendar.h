#pragma once

#include "platform/api/clock.h"

#include <cstdint>

// Proleptic Gregorian date arithmetic on local wall-clock dates. Day numbers count from 1970-01-01, so a
// local date and time turns into seconds "since 1970 local time" without any time-zone knowledge.
namespace orvanta::scheduler {

struct Date {
    int year = 1970;
    int month = 1;
    int day = 1;

    auto operator<=>(const Date&) const = default;
};

bool IsLeapYear(int year);
int DaysInMonth(int year, int month);

// Day number of a date (1970-01-01 is 0); valid for every year the task fields can hold.
std::int64_t DayNumber(const Date& date);
Date DateFromDayNumber(std::int64_t dayNumber);

// Sunday = 1 ... Saturday = 7, the numbering the weekday flags are walked in.
int WeekdayNumber(std::int64_t dayNumber);

// The day of the month as asked, or the month's last day when the month is shorter: a task for the
// 31st runs on 30 April, a task for 29 February on the 28th in other years.
Date ClampedDate(int year, int month, int day);

// The same stored day in the following month, clamped in that month.
Date NextMonthClamped(const Date& date, int storedDay);

Date DateOf(const platform::LocalDateTime& t);
std::int64_t MillisecondOfDay(const platform::LocalDateTime& t);
// Milliseconds since 1970-01-01 00:00:00 local time.
std::int64_t LocalMilliseconds(const platform::LocalDateTime& t);
// The wall-clock date and time of such a count.
platform::LocalDateTime FromLocalMilliseconds(std::int64_t ms);

} // namespace orvanta::scheduler
