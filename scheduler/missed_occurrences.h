#pragma once

#include "platform/api/clock.h"
#include "scheduler/ran_occurrences.h"
#include "scheduler/run_events.h"
#include "scheduler/run_table.h"

#include <cstdint>
#include <functional>
#include <string>

namespace orvanta::scheduler {

// How late a row may be and still be run by a hand-over that is under way: a plain timer fires within
// 3 s and hands over half a second later; a wake-up may take a minute, and a pass accepts a handed key
// up to 75 s late (Dispatcher::kHandedKeyToleranceMs).
inline constexpr std::int64_t kPlainRowGraceMs = 4'000;
inline constexpr std::int64_t kWakeRowGraceMs = 75'000;

// Tells of every enabled, waiting row of the table whose moment has gone by beyond its grace without
// its having run: slept through when the computer came back from sleep after that moment (resumedUtcMs,
// 0 for never), else passed over by a jump of the clock. Call it just before a rebuild, which moves
// such rows on to their next moment.
// Rows in ran or told, and rows of a key still on its way to a pass (kept), are left out; those reported
// are added to told.
void ReportMissedOccurrences(const RunTable& table, const RanOccurrences& ran, RanOccurrences& told,
                             const std::function<bool(const std::string& dueKey)>& kept,
                             const platform::Clock& clock, std::int64_t resumedUtcMs, RunEventSink& events);

} // namespace orvanta::scheduler
