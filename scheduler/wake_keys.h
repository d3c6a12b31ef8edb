#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/api/clock.h"
#include "scheduler/run_table.h"

namespace orvanta::scheduler {

// The due key of the soonest shown, enabled, waiting row that asks for a wake-up (WakeKey set), or of
// the soonest one that does not. Only the first rowCount display rows count: the list shows the soonest
// waiting tasks first, and rows beyond the task count are the "None" placeholder at most.
std::string SoonestWakeKey(const std::vector<DisplayRow>& rows, std::size_t rowCount);
std::string SoonestDueKey(const std::vector<DisplayRow>& rows, std::size_t rowCount);

// Year-month-day-hour-minute-second back to a local date and time; nothing for a malformed key.
std::optional<platform::LocalDateTime> ParseDueKey(const std::string& key);

// Whether a timer that fired at now belongs to the armed key. Only the time of day is compared: a
// wake-up may take up to a minute to bring the machine back, a plain timer must be within 3 s.
bool WithinWakeWindow(const std::string& key, const platform::LocalDateTime& now);
bool WithinDueWindow(const std::string& key, const platform::LocalDateTime& now);

} // namespace orvanta::scheduler
