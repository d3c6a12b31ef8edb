#include "scheduler/run_table_builder.h"

#include "data/error.h"
#include "data/task_record.h"
#include "scheduler/calendar.h"
#include "scheduler/occurrence.h"
#include "scheduler/row_text.h"
#include "scheduler/task_row.h"

#include <algorithm>
#include <cstdint>
#include <numeric>

namespace orvanta::scheduler {
namespace {

constexpr std::int64_t kMillisecondsPerDay = 86'400'000;
constexpr std::size_t kProblemsListed = 10;

// Enabled waiting tasks first, soonest first; then disabled ones, soonest first; then enabled Passed
// ones, most recently passed first.
enum Group : int { kWaiting = 0, kDisabled = 1, kPassed = 2 };

struct Scheduled {
    Schedule schedule;
    std::int64_t dueSeconds = 0;
    bool enabled = false;
    bool passed = false;

    Group group() const { return !enabled ? kDisabled : passed ? kPassed : kWaiting; }
    std::int64_t sortKey() const { return group() == kPassed ? -dueSeconds : dueSeconds; }
};

DisplayRow MakeDisplayRow(const TaskRow& row, const Schedule& schedule, const RowTexts& texts) {
    DisplayRow d;
    d[kDispText] = RowText(row, schedule, texts);
    d[kDispStatus] = row[kColStatus];
    d[kDispId] = row[kColId];
    d[kDispEnabled] = row[kColEnabled];
    d[kDispDueSeconds] = row[kColDueSeconds];
    d[kDispCountdown] = row[kColCountdown];
    d[kDispDueKey] = row[kColDueKey];
    static const std::string kWakeOnly = std::to_string(data::kEventWakeOnly);
    static const std::string kWakeAndRun = std::to_string(data::kEventWakeAndRun);
    const bool wakes = row[kColEvent] == kWakeOnly || row[kColEvent] == kWakeAndRun;
    if (wakes) d[kDispWakeKey] = row[kColDueKey];
    return d;
}

DisplayRow NoneRow(const RowTexts& texts) {
    DisplayRow d;
    d[kDispText] = texts.none;
    return d;
}

} // namespace

RunTableBuild EmptyRunTable(const i18n::TextLookup& text) {
    const RowTexts texts = RowTexts::Load(text);
    RunTableBuild out;
    out.table.displayRows.push_back(NoneRow(texts));
    out.hint = NoUpcomingHint(texts);
    return out;
}

RunTableBuild BuildRunTable(data::DataSet rows, const platform::LocalDateTime& now,
                            const RunTableFilters& filters, const std::string& currentTaskId,
                            const i18n::TextLookup& text) {
    const RowTexts texts = RowTexts::Load(text);
    const std::int64_t nowMs = LocalMilliseconds(now);
    const TaskRowReader reader(rows);

    RunTableBuild out;
    auto& taskRows = out.table.taskRows;
    std::vector<Scheduled> scheduled;
    const std::size_t expected = std::min(rows.rowCount(), kMaxTimedTasks);
    taskRows.reserve(expected);
    scheduled.reserve(expected);

    for (rows.first(); !rows.eof(); rows.next()) {
        if (taskRows.size() == kMaxTimedTasks) {
            out.problems.push_back({rows.fieldAsText("ID"), "there are more than 86,400 timed tasks"});
            continue;
        }
        // Filled in place: a task row is 38 strings, and moving each into the table would touch it twice.
        TaskRow& row = taskRows.emplace_back();
        Scheduled s;
        try {
            reader.Read(rows, row);
            s.schedule = ParseSchedule(row);
        } catch (const Error& e) {
            taskRows.pop_back();
            out.problems.push_back({rows.fieldAsText("ID"), e.what()});
            continue;
        }
        const platform::LocalDateTime occurrence = NextOccurrence(s.schedule, now);
        s.dueSeconds = DueSeconds(occurrence);
        s.enabled = row[kColEnabled] == "1";
        s.passed = nowMs >= s.dueSeconds * 1000;
        row[kColDueSeconds] = std::to_string(s.dueSeconds);
        row[kColStatus] = s.passed ? kStatusPassed : kStatusWaiting;
        row[kColDueKey] = DueKey(occurrence);
        // Every row gets its display position below, so every row is placed.
        row[kColPlaced] = "1";
        scheduled.push_back(s);
    }
    out.table.taskRowCount = taskRows.size();

    // A stable sort keeps rows with the same key in read order, which is the order of their last save.
    std::vector<std::size_t> order(taskRows.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        const Scheduled& x = scheduled[a];
        const Scheduled& y = scheduled[b];
        if (x.group() != y.group()) return x.group() < y.group();
        return x.sortKey() < y.sortKey();
    });

    auto& display = out.table.displayRows;
    display.reserve(std::max<std::size_t>(taskRows.size(), 1));
    const std::int64_t laterThanMs =
        nowMs + static_cast<std::int64_t>(filters.hideDays) * kMillisecondsPerDay;
    for (std::size_t i : order) {
        const TaskRow& row = taskRows[i];
        const Scheduled& s = scheduled[i];
        // The task just edited stays visible whatever the filters say, so the user sees what was saved.
        const bool current = row[kColId] == currentTaskId;
        // The first row shown is never hidden as too far ahead: the list always shows what comes next.
        const bool tooFarAhead = filters.hideLater && s.enabled && !display.empty() &&
                                 laterThanMs <= s.dueSeconds * 1000 && !current;
        // While disabled tasks are listed at all, a disabled one is listed even when it has passed.
        const bool listedAsDisabled = !s.enabled && !filters.hideDisabled;
        const bool hiddenPassed = filters.hidePassed && s.passed && !current && !listedAsDisabled;
        if (tooFarAhead || hiddenPassed) continue;
        display.push_back(MakeDisplayRow(row, s.schedule, texts));
    }

    if (display.empty()) display.push_back(NoneRow(texts));
    const DisplayRow& first = display.front();
    out.hint = first[kDispStatus] != kStatusPassed && first[kDispEnabled] == "1"
                   ? UpcomingHint(first[kDispText], texts)
                   : NoUpcomingHint(texts);
    return out;
}

std::string DescribeRowProblems(const std::vector<RowProblem>& problems) {
    std::string out;
    for (std::size_t i = 0; i < problems.size() && i < kProblemsListed; ++i) {
        if (!out.empty()) out += '\n';
        out += "Task " + problems[i].taskId + " is not scheduled: " + problems[i].problem;
    }
    if (problems.size() > kProblemsListed)
        out += "\n... and " + std::to_string(problems.size() - kProblemsListed) + " more tasks";
    return out;
}

} // namespace orvanta::scheduler
