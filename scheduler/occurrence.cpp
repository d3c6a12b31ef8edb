#include "scheduler/occurrence.h"

#include "data/error.h"
#include "data/task_record.h"
#include "scheduler/calendar.h"

#include <charconv>
#include <optional>

namespace orvanta::scheduler {
namespace {

constexpr int kSecondsPerDay = 86'400;
constexpr std::int64_t kMinutesPerDay = 1'440;

platform::LocalDateTime At(const Date& date, int secondOfDay) {
    return {date.year, date.month, date.day, secondOfDay / 3600, secondOfDay / 60 % 60, secondOfDay % 60, 0};
}

platform::LocalDateTime At(std::int64_t dayNumber, int secondOfDay) {
    return At(DateFromDayNumber(dayNumber), secondOfDay);
}

// The repeat search: the first slot S + n*L (n >= 1) later than now's time of day t, provided that slot
// is still before midnight and before the end time (at or before it for once tasks). It only applies
// once the start time itself has gone. Slots never wrap past midnight, so an interval of a day or more
// has none.
std::optional<int> RepeatSlot(const Schedule& s, std::int64_t t, bool endIsInclusive) {
    const std::int64_t startMs = s.startSecond * 1000LL;
    if (s.loopMinutes <= 0 || s.loopMinutes >= kMinutesPerDay || t <= startMs) return std::nullopt;
    const std::int64_t stepSeconds = s.loopMinutes * 60;
    const std::int64_t n = (t - startMs) / (stepSeconds * 1000) + 1;
    const std::int64_t slot = s.startSecond + n * stepSeconds;
    if (slot >= kSecondsPerDay) return std::nullopt;
    if (slot < s.endSecond || (endIsInclusive && slot == s.endSecond)) return static_cast<int>(slot);
    return std::nullopt;
}

bool ChosenWeekday(const Schedule& s, int weekdayNumber) {
    return s.weekdays[weekdayNumber - 1];
}

platform::LocalDateTime WeeklyOccurrence(const Schedule& s, const platform::LocalDateTime& now) {
    const std::int64_t today = DayNumber(DateOf(now));
    const std::int64_t t = MillisecondOfDay(now);
    const int w = WeekdayNumber(today);
    // Unlike the other kinds, today's start counts only while it is strictly ahead.
    if (ChosenWeekday(s, w)) {
        const int start = RepeatSlot(s, t, false).value_or(s.startSecond);
        if (t < start * 1000LL) return At(today, start);
    }
    for (int d = w + 1; d <= 7; ++d)
        if (ChosenWeekday(s, d)) return At(today + (d - w), s.startSecond);
    for (int d = 1; d <= w; ++d)
        if (ChosenWeekday(s, d)) return At(today + (d - w + 7), s.startSecond);
    // No day chosen: a moment that has always gone, so the task shows as Passed.
    return At(today - 1, 0);
}

} // namespace

void CheckSchedule(const Schedule& s) {
    // Runs for every task of every rebuild, so messages are only made for a field that fails.
    auto outOfRange = [](const char* field, int value) {
        throw Error(std::string(field) + " " + std::to_string(value) + " is out of range");
    };
    if (s.dateMode < data::kDaily || s.dateMode > data::kWeekly)
        throw Error("DateMode " + std::to_string(s.dateMode) + " is not a timed task kind");
    if (s.startSecond < 0 || s.startSecond >= kSecondsPerDay)
        throw Error("the start time is not a time of day");
    const bool usesDay =
        s.dateMode == data::kOnce || s.dateMode == data::kMonthly || s.dateMode == data::kAnnually;
    const bool usesMonth = s.dateMode == data::kOnce || s.dateMode == data::kAnnually;
    if (s.dateMode == data::kOnce && (s.year < 1 || s.year > 9999)) outOfRange("Year", s.year);
    if (usesMonth && (s.month < 1 || s.month > 12)) outOfRange("Month", s.month);
    if (usesDay && (s.day < 1 || s.day > 31)) outOfRange("Day", s.day);
}

platform::LocalDateTime NextOccurrence(const Schedule& s, const platform::LocalDateTime& now) {
    CheckSchedule(s);
    const Date today = DateOf(now);
    const std::int64_t t = MillisecondOfDay(now);
    // The comparison uses the full clock time, so one millisecond after the start the start has gone.
    const bool startHasGone = t > s.startSecond * 1000LL;

    switch (s.dateMode) {
    case data::kOnce: {
        const Date date = ClampedDate(s.year, s.month, s.day);
        const auto slot = date == today ? RepeatSlot(s, t, true) : std::nullopt;
        return At(date, slot.value_or(s.startSecond));
    }
    case data::kDaily: {
        if (const auto slot = RepeatSlot(s, t, false)) return At(today, *slot);
        return At(DayNumber(today) + (startHasGone ? 1 : 0), s.startSecond);
    }
    case data::kMonthly: {
        Date date = ClampedDate(today.year, today.month, s.day);
        if (date == today) {
            if (const auto slot = RepeatSlot(s, t, false)) return At(today, *slot);
            if (startHasGone) date = NextMonthClamped(date, s.day);
        } else if (today > date) {
            date = NextMonthClamped(date, s.day);
        }
        return At(date, s.startSecond);
    }
    case data::kAnnually: {
        Date date = ClampedDate(today.year, s.month, s.day);
        if (date == today) {
            if (const auto slot = RepeatSlot(s, t, false)) return At(today, *slot);
            if (startHasGone) date = ClampedDate(today.year + 1, s.month, s.day);
        } else if (today > date) {
            date = ClampedDate(today.year + 1, s.month, s.day);
        }
        return At(date, s.startSecond);
    }
    default:
        return WeeklyOccurrence(s, now);
    }
}

std::int64_t DueSeconds(const platform::LocalDateTime& occurrence) {
    return LocalMilliseconds(occurrence) / 1000;
}

std::string DueKey(const platform::LocalDateTime& occurrence) {
    std::string out;
    WriteDueKey(out, occurrence);
    return out;
}

void WriteDueKey(std::string& out, const platform::LocalDateTime& o) {
    char buffer[80];
    char* end = buffer;
    for (int part : {o.year, o.month, o.day, o.hour, o.minute, o.second}) {
        if (end != buffer) *end++ = '-';
        end = std::to_chars(end, buffer + sizeof buffer, part).ptr;
    }
    out.assign(buffer, end);
}

} // namespace orvanta::scheduler
