#pragma once

#include "platform/api/clock.h"
#include "scheduler/run_table.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace orvanta::scheduler {

// The due key of the soonest shown, enabled, waiting row that asks for a wake-up (WakeKey set), or of
// the soonest one that does not. Only the first rowCount display rows count: the list shows the soonest
// waiting tasks first, and rows beyond the task count are the "None" placeholder at most.
std::string SoonestWakeKey(const DisplayRows& rows, std::size_t rowCount);
std::string SoonestDueKey(const DisplayRows& rows, std::size_t rowCount);

// Year-month-day-hour-minute-second back to a local date and time; nothing for a malformed key.
std::optional<platform::LocalDateTime> ParseDueKey(const std::string& key);

// How late now is for a due key, in milliseconds (negative when early), measured on absolute moments so
// that a daylight-saving change between the two counts for what it is. nullopt for a malformed key.
std::optional<std::int64_t> LatenessMs(const std::string& key, const platform::Clock& clock);
// The same on the wall clock alone, for a reading without zone knowledge.
std::optional<std::int64_t> LatenessMs(const std::string& key, const platform::LocalDateTime& now);

// Whether a timer that fired this late belongs to the armed key: a wake-up may take up to a minute to
// bring the machine back, a plain timer must be within 3 s. The whole date counts, not only the time of
// day: a key of another day is never this firing's.
bool InWakeWindow(std::int64_t latenessMs);
bool InDueWindow(std::int64_t latenessMs);
bool WithinWakeWindow(const std::string& key, const platform::LocalDateTime& now);
bool WithinDueWindow(const std::string& key, const platform::LocalDateTime& now);

} // namespace orvanta::scheduler
