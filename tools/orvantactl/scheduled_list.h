#pragma once

#include "data/settings/settings.h"
#include "data/task_store.h"
#include "platform/api/clock.h"
#include "scheduler/run_table_builder.h"

#include <ostream>
#include <vector>

namespace orvanta::ctl {

// The scheduled-task list's filters, as the main window loads them from wake.ini.
scheduler::RunTableFilters ReadListFilters(const data::Settings& settings);

// Both commands rebuild the run table as the main window would at the clock's moment, with the
// filters saved in wake.ini and no task open in the editor. The tasks that could not be scheduled are
// returned (empty when every task was) for the caller to report after the output.

// Writes the display rows (WriteDisplayRowLines).
std::vector<scheduler::RowProblem> ListScheduledTasks(const data::TaskStore& store,
                                                      const platform::Clock& clock,
                                                      const data::Settings& settings, std::ostream& out);

// Writes the notification-area hint as one line.
std::vector<scheduler::RowProblem> PrintUpcomingTask(const data::TaskStore& store,
                                                     const platform::Clock& clock,
                                                     const data::Settings& settings, std::ostream& out);

} // namespace orvanta::ctl
