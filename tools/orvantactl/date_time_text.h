#pragma once

#include "platform/api/clock.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace orvanta::ctl {

struct TimeOfDay {
    int hour = 0;
    int minute = 0;
    int second = 0;

    int secondsSinceMidnight() const { return hour * 3600 + minute * 60 + second; }
};

struct CalendarDate {
    int year = 0;
    int month = 0;
    int day = 0;
};

// "H:mm:ss" or "H:mm" on a 24-hour clock; the hour may carry a leading zero. Raises UsageError.
TimeOfDay ParseTimeOfDay(std::string_view text);

// The stored form: hour without leading zero, minutes and seconds with two digits.
std::string FormatTimeOfDay(const TimeOfDay& time);

// "YYYY-MM-DD", a date that exists. Raises UsageError.
CalendarDate ParseIsoDate(std::string_view text);

// "MM-DD" (or "M-D"), a day that exists in some year, so 02-29 is accepted. Returns year 0.
CalendarDate ParseMonthDay(std::string_view text);

// "YYYY-MM-DD H:mm:ss" or "YYYY-MM-DD H:mm:ss.zzz" (milliseconds, three digits), one blank between
// date and time. Raises UsageError.
platform::LocalDateTime ParseLocalDateTime(std::string_view text);

// A day of the month, 1 to 31.
int ParseDayOfMonth(std::string_view text);

int DaysInMonth(int year, int month);

// Digits only (no sign, no blanks) within [min, max]; otherwise UsageError naming what was expected.
std::int64_t ParseBoundedNumber(std::string_view text, std::int64_t min, std::int64_t max,
                                const std::string& what);

// "YYYY-MM-DD HH:MM:SS" of the DOS date-time the store writes into Last, or empty when the text is
// not such a number.
std::string DescribeDosDateTime(std::string_view lastColumn);

} // namespace orvanta::ctl
