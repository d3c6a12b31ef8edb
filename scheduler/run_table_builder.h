#pragma once

#include "data/data_set.h"
#include "i18n/text_lookup.h"
#include "platform/api/clock.h"
#include "scheduler/row_text.h"
#include "scheduler/run_table.h"
#include "scheduler/task_row.h"
#include "scheduler/zone_now.h"

#include <cstdint>
#include <optional>
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
    // The tasks left out, in the read's order. Every other task is in the table, so one damaged row never
    // stops the rest from running; the caller shows these (DescribeRowProblems) through its error box.
    std::vector<RowProblem> problems;
    // Why the task file could not be read, when it could not: the table is then empty for that reason,
    // not because there is nothing to run, and no one may present it as the list.
    std::string readFailure;
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

// BuildRunTable a row at a time, for rows handed over as a query is stepped, so that no copy of the
// whole result is ever held. It can write over the rows of an earlier table, and keeps its own working
// memory from one table to the next: texts keep the memory they hold, so rebuilding a large table
// allocates next to nothing.
class RunTableAssembler {
  public:
    // Whether the table keeps its task rows. A reader that only shows the list can do without them,
    // which at tens of thousands of tasks spares most of the table's memory.
    enum class TaskRows { kKept, kDropped };

    explicit RunTableAssembler(const i18n::TextLookup& text);
    ~RunTableAssembler();
    RunTableAssembler(const RunTableAssembler&) = delete;
    RunTableAssembler& operator=(const RunTableAssembler&) = delete;

    // Starts a table, dropping whatever an unfinished one held. earlier: the table this one replaces, or
    // an empty one; its rows are only written over, never read. With TaskRows::kDropped the table comes
    // out with its display rows and hint only, no task rows and a taskRowCount of 0.
    void Begin(const ZoneNow& now, const RunTableFilters& filters, const std::string& currentTaskId,
               RunTable earlier = {}, TaskRows taskRows = TaskRows::kKept);
    // Room for this many rows, when their number is known before the first is added.
    void Reserve(std::size_t rows);
    // A row of the timed-task query and its place in the query's order (0 for the first); rows may come
    // in any order, each place once. Raises orvanta::Error only when the result lacks a task column,
    // which the first row shows.
    void Add(const data::ResultRow& source, std::size_t place);
    // The row the earlier table given to Begin holds at this place, already as the read would give it
    // there; its computed columns are written anew.
    void AddHeld(std::size_t place);
    // The table of every row added since Begin.
    RunTableBuild Finish();

  private:
    struct Position;
    struct Rank;
    // The row to fill for a place, or nullptr when the place is beyond the table's limit.
    TaskRow* Slot(std::string taskId, std::size_t place);
    // Computes a filled row's occurrence and display row; a row that cannot be scheduled is left out.
    void Place(TaskRow& row, std::size_t place);
    void LeaveOut(std::string taskId, std::string problem, std::size_t place);
    // Puts the problems in the read's order and closes the task rows' gaps left by rows left out.
    void CloseGaps();

    const i18n::TextLookup& text_;
    ZoneNow now_;
    std::int64_t nowMs_ = 0;
    RunTableFilters filters_;
    std::string currentTaskId_;
    RowTexts texts_;
    std::optional<TaskRowReader> reader_; // from the first row, whose columns every row shares
    std::size_t idColumn_ = 0;
    RunTableBuild out_;
    bool keepTaskRows_ = true;
    std::size_t placesUsed_ = 0;       // one beyond the highest place of a row added; task rows beyond it are
                                       // an earlier table's leftovers
    std::vector<std::size_t> leftOut_; // places of rows added but not in the table
    std::vector<Position> order_;      // in the order rows were added
    std::vector<Rank> ranks_;
    std::string dueKey_; // scratch for a row's due key
};

// The state before a table is built, and after a rebuild has failed: no task rows, the single "None"
// display row and the hint "Upcoming event: None".
RunTableBuild EmptyRunTable(const i18n::TextLookup& text);

// The text for the error box: one line per left-out task, at most the first 10 and a count of the rest;
// empty when nothing was left out.
std::string DescribeRowProblems(const std::vector<RowProblem>& problems);

} // namespace orvanta::scheduler
