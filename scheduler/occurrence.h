#pragma once

#include "platform/api/clock.h"

#include <array>
#include <cstdint>
#include <string>

namespace orvanta::scheduler {

// The fields of a timed task that decide when it runs, converted and checked (see ParseSchedule).
struct Schedule {
    int dateMode = 1;               // 1 daily, 2 once, 3 monthly, 4 annually, 5 weekly
    int year = 0;                   // once only
    int month = 0;                  // once and annually
    int day = 0;                    // once, monthly and annually; may exceed the month's length
    std::array<bool, 7> weekdays{}; // weekly only, Sunday first
    int startSecond = 0;            // S: start time, seconds since midnight
    int endSecond = 0;              // E: end of the repeat window, seconds since midnight
    std::int64_t loopMinutes = 0;   // L: repeat interval; below 1 means no repeat
};

// Raises orvanta::Error describing the first field that cannot take part in the computation: a kind
// other than 1-5, or a date field out of range for a kind that uses it.
void CheckSchedule(const Schedule& schedule);

// The task's next occurrence seen from now (a local date and time with milliseconds). The result has
// whole seconds. A once task whose moment has gone keeps that moment; every other kind moves on, so
// its result is only ever at or before now in the instant its start time is reached.
// Raises orvanta::Error for a schedule CheckSchedule rejects.
platform::LocalDateTime NextOccurrence(const Schedule& schedule, const platform::LocalDateTime& now);

// Whole seconds since 1970-01-01 00:00:00 local time, milliseconds dropped.
std::int64_t DueSeconds(const platform::LocalDateTime& occurrence);

// Year-month-day-hour-minute-second without leading zeros (2025-3-7-9-5-0): the text that links the
// run table, the waiters and the dispatcher.
std::string DueKey(const platform::LocalDateTime& occurrence);
// DueKey written over out, in the memory out already holds.
void WriteDueKey(std::string& out, const platform::LocalDateTime& occurrence);

} // namespace orvanta::scheduler
