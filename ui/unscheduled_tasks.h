#pragma once

#include "data/task_store.h"
#include "scheduler/run_table.h"
#include "scheduler/run_table_builder.h"

#include <set>
#include <string>
#include <utility>
#include <vector>

namespace orvanta::ui {

// A timed task the rebuild left out of the run table, as the store holds it, and why it was left out.
struct UnscheduledTask {
    scheduler::TaskRow row{};
    std::string problem;
};

// Reads the tasks named by the problems back from the store, in the store's order, so that the list can
// show them and the editor can open them. A row whose texts do not decode keeps only its ID.
std::vector<UnscheduledTask> ReadUnscheduledTasks(const data::TaskStore& store,
                                                  const std::vector<scheduler::RowProblem>& problems);

// Appends the list's line for such a task: its label and title, switched off, with nothing due.
void AppendUnscheduledRow(scheduler::DisplayRows& rows, const UnscheduledTask& task,
                          const std::string& label);

// Keeps track of the problems the user has been told about, so that each is told once and not at
// every rebuild; a problem that went away and comes back is told again.
class ProblemReports {
  public:
    // The problems of this rebuild not told before; it forgets the ones that are gone.
    std::vector<scheduler::RowProblem> TakeNew(const std::vector<scheduler::RowProblem>& current);

  private:
    std::set<std::pair<std::string, std::string>> told_;
};

} // namespace orvanta::ui
