#pragma once

#include "data/data_set.h"
#include "i18n/text_lookup.h"
#include "platform/api/clock.h"
#include "scheduler/run_table.h"

#include <string>
#include <vector>

namespace orvanta::scheduler {

// The scheduled-task list's filters, as the main window holds them.
struct RunTableFilters {
    bool hidePassed = false;
    bool hideDisabled = false; // the read already leaves disabled tasks out; it also decides whether a
                               // disabled Passed task may be hidden by hidePassed
    bool hideLater = false;
    int hideDays = 0; // with hideLater: tasks at least this many days ahead are hidden
};

// A timed task that was left out of the table, and why.
struct RowProblem {
    std::string taskId;
    std::string problem;
};

struct RunTableBuild {
    RunTable table;
    std::string hint; // the notification-area hint
    // The tasks left out, in read order. Every other task is in the table, so one damaged row never
    // stops the rest from running; the caller shows these (DescribeRowProblems) through its error box.
    std::vector<RowProblem> problems;
};

// Computes the run table from the rows of a timed-task query (consumed: its cursor is walked) as seen
// at now. currentTaskId is the task last handed to or saved by the editor, which no filter hides.
// A row whose text or time cannot be decoded, or whose date fields cannot make a date, is left out and
// listed in problems. Rows beyond kMaxTimedTasks are left out the same way: the tasks saved longest ago
// keep running, and the newest saves, which the user has just made, are the ones reported.
// Raises orvanta::Error only when the result as a whole lacks a task column.
RunTableBuild BuildRunTable(data::DataSet timedRows, const platform::LocalDateTime& now,
                            const RunTableFilters& filters, const std::string& currentTaskId,
                            const i18n::TextLookup& text);

// The state before a table is built, and after a rebuild has failed: no task rows, the single "None"
// display row and the hint "Upcoming event: None".
RunTableBuild EmptyRunTable(const i18n::TextLookup& text);

// The text for the error box: one line per left-out task, at most the first 10 and a count of the rest;
// empty when nothing was left out.
std::string DescribeRowProblems(const std::vector<RowProblem>& problems);

} // namespace orvanta::scheduler
