#pragma once

#include "platform/api/clock.h"
#include "platform/api/run_history.h"

#include <ostream>
#include <string>

namespace orvanta::ctl {

// One line of the run history as the history command prints it:
//   2026-12-10 14:30:05  ran  task 3 "Backup"  due 2026-12-10 14:30:05  Launch  (reason)
// with the parts that are empty left out, times in the clock's local time.
std::string HistoryLine(const platform::HistoryEntry& entry, const platform::Clock& clock);

// Prints the entries, oldest first. Raises orvanta::Error when the history cannot be read.
void PrintHistory(const platform::RunHistory& history, const platform::HistoryQuery& query,
                  const platform::Clock& clock, std::ostream& out);

} // namespace orvanta::ctl
