#include "tools/orvantactl/date_time_text.h"

#include "tools/orvantactl/usage_error.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace orvanta::ctl {
namespace {

bool AllDigits(std::string_view text) {
    if (text.empty()) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    return true;
}

std::vector<std::string_view> Split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (;;) {
        std::size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end == std::string_view::npos ? end : end - start));
        if (end == std::string_view::npos) return parts;
        start = end + 1;
    }
}

// Fixed-width fields keep "7:5" or "2025-3-7-1" from slipping through as something the user did not mean.
int Field(std::string_view text, std::size_t minDigits, std::size_t maxDigits, int min, int max) {
    if (!AllDigits(text) || text.size() < minDigits || text.size() > maxDigits) return -1;
    int value = std::atoi(std::string(text).c_str());
    return value >= min && value <= max ? value : -1;
}

} // namespace

TimeOfDay ParseTimeOfDay(std::string_view text) {
    const auto parts = Split(text, ':');
    if (parts.size() == 2 || parts.size() == 3) {
        TimeOfDay t;
        t.hour = Field(parts[0], 1, 2, 0, 23);
        t.minute = Field(parts[1], 2, 2, 0, 59);
        t.second = parts.size() == 3 ? Field(parts[2], 2, 2, 0, 59) : 0;
        if (t.hour >= 0 && t.minute >= 0 && t.second >= 0) return t;
    }
    throw UsageError("invalid time \"" + std::string(text) + "\" (expected H:mm:ss or H:mm)");
}

std::string FormatTimeOfDay(const TimeOfDay& time) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%d:%02d:%02d", time.hour, time.minute, time.second);
    return buffer;
}

int DaysInMonth(int year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month == 2 && ((year % 4 == 0 && year % 100 != 0) || year % 400 == 0)) return 29;
    return kDays[month - 1];
}

CalendarDate ParseIsoDate(std::string_view text) {
    const auto parts = Split(text, '-');
    if (parts.size() == 3) {
        CalendarDate d{Field(parts[0], 4, 4, 1, 9999), Field(parts[1], 2, 2, 1, 12),
                       Field(parts[2], 2, 2, 1, 31)};
        if (d.year > 0 && d.month > 0 && d.day > 0 && d.day <= DaysInMonth(d.year, d.month)) return d;
    }
    throw UsageError("invalid date \"" + std::string(text) + "\" (expected an existing date as YYYY-MM-DD)");
}

CalendarDate ParseMonthDay(std::string_view text) {
    const auto parts = Split(text, '-');
    if (parts.size() == 2) {
        // A leap year, so that 29 February is a valid yearly date.
        CalendarDate d{0, Field(parts[0], 1, 2, 1, 12), Field(parts[1], 1, 2, 1, 31)};
        if (d.month > 0 && d.day > 0 && d.day <= DaysInMonth(2000, d.month)) return d;
    }
    throw UsageError("invalid date \"" + std::string(text) +
                     "\" (expected an existing month and day as MM-DD)");
}

platform::LocalDateTime ParseLocalDateTime(std::string_view text) {
    const auto halves = Split(text, ' ');
    if (halves.size() == 2) {
        const auto dot = Split(halves[1], '.');
        const auto time = Split(dot[0], ':');
        if (dot.size() <= 2 && time.size() == 3) {
            platform::LocalDateTime t;
            t.hour = Field(time[0], 1, 2, 0, 23);
            t.minute = Field(time[1], 2, 2, 0, 59);
            t.second = Field(time[2], 2, 2, 0, 59);
            t.millisecond = dot.size() == 2 ? Field(dot[1], 3, 3, 0, 999) : 0;
            const bool timeValid = t.hour >= 0 && t.minute >= 0 && t.second >= 0 && t.millisecond >= 0;
            try {
                const CalendarDate d = ParseIsoDate(halves[0]);
                t.year = d.year;
                t.month = d.month;
                t.day = d.day;
                if (timeValid) return t;
            } catch (const UsageError&) {
                // Reported below with the form the whole text should have had.
            }
        }
    }
    throw UsageError("invalid date and time \"" + std::string(text) +
                     "\" (expected YYYY-MM-DD H:mm:ss or YYYY-MM-DD H:mm:ss.zzz)");
}

int ParseDayOfMonth(std::string_view text) {
    return static_cast<int>(ParseBoundedNumber(text, 1, 31, "a day of the month from 1 to 31"));
}

std::int64_t ParseBoundedNumber(std::string_view text, std::int64_t min, std::int64_t max,
                                const std::string& what) {
    // Eighteen digits cannot overflow a 64-bit value; longer input is out of any range we accept.
    if (AllDigits(text) && text.size() <= 18) {
        const std::int64_t value = std::strtoll(std::string(text).c_str(), nullptr, 10);
        if (value >= min && value <= max) return value;
    }
    throw UsageError("invalid number \"" + std::string(text) + "\" (expected " + what + ")");
}

std::string DescribeDosDateTime(std::string_view lastColumn) {
    std::string_view digits = lastColumn;
    if (!digits.empty() && digits.front() == '-') digits.remove_prefix(1);
    if (!AllDigits(digits) || digits.size() > 10) return {};
    const long long value = std::strtoll(std::string(lastColumn).c_str(), nullptr, 10);
    if (value < INT32_MIN || value > INT32_MAX) return {};
    const auto bits = static_cast<std::uint32_t>(static_cast<std::int32_t>(value));
    const unsigned date = bits >> 16, time = bits & 0xFFFF;
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%04u-%02u-%02u %02u:%02u:%02u", (date >> 9) + 1980,
                  (date >> 5) & 15, date & 31, time >> 11, (time >> 5) & 63, (time & 31) * 2);
    return buffer;
}

} // namespace orvanta::ctl
