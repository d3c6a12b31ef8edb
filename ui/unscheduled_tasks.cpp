#include "ui/unscheduled_tasks.h"

#include "data/error.h"
#include "scheduler/task_row.h"

#include <algorithm>

namespace orvanta::ui {

using scheduler::RowProblem;

std::vector<UnscheduledTask> ReadUnscheduledTasks(const data::TaskStore& store,
                                                  const std::vector<RowProblem>& problems) {
    std::vector<UnscheduledTask> tasks;
    if (problems.empty()) return tasks;
    auto problemOf = [&](const std::string& id) -> const RowProblem* {
        const auto found = std::find_if(problems.begin(), problems.end(),
                                        [&](const RowProblem& p) { return p.taskId == id; });
        return found == problems.end() ? nullptr : &*found;
    };
    data::DataSet rows = store.ReadTimedTasks(false);
    for (; !rows.eof(); rows.next()) {
        const std::string id = rows.fieldAsText("ID");
        const RowProblem* problem = problemOf(id);
        if (!problem) continue;
        UnscheduledTask& task = tasks.emplace_back();
        task.problem = problem->problem;
        try {
            task.row = scheduler::ReadTaskRow(rows);
        } catch (const Error&) {
            task.row = {};
            task.row.Set(scheduler::kColId, id);
        }
    }
    return tasks;
}

void AppendUnscheduledRow(scheduler::DisplayRows& rows, const UnscheduledTask& task,
                          const std::string& label) {
    const std::string text = "           " + label + " ---- " + std::string(task.row[scheduler::kColTitle]);
    // Enabled not "1": the check box shows it switched off, and no command takes it for a waiting task.
    rows.Append({text, "", task.row[scheduler::kColId], "0", "", "", "", ""});
}

std::vector<RowProblem> ProblemReports::TakeNew(const std::vector<RowProblem>& current) {
    std::set<std::pair<std::string, std::string>> now;
    std::vector<RowProblem> fresh;
    for (const RowProblem& p : current) {
        auto key = std::make_pair(p.taskId, p.problem);
        if (!told_.count(key)) fresh.push_back(p);
        now.insert(std::move(key));
    }
    told_ = std::move(now);
    return fresh;
}

} // namespace orvanta::ui
