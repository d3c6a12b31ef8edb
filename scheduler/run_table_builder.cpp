#include "scheduler/run_table_builder.h"

#include "data/error.h"
#include "data/task_record.h"
#include "scheduler/calendar.h"
#include "scheduler/occurrence.h"
#include "scheduler/row_text.h"
#include "scheduler/task_row.h"

#include <algorithm>
#include <cstdint>

namespace orvanta::scheduler {
namespace {

constexpr std::int64_t kMillisecondsPerDay = 86'400'000;
constexpr std::size_t kProblemsListed = 10;

// Enabled waiting tasks first, soonest first; then disabled ones, soonest first; then enabled Passed
// ones, most recently passed first.
enum Group : int { kWaiting = 0, kDisabled = 1, kPassed = 2 };

// Where a row goes in the list, and what the filters ask of it. Group first, then the group's order of
// due times; the read position breaks ties, so rows with the same due time keep the order of their last
// save, as a stable sort would.
struct DisplayPosition {
    Group group;
    std::int64_t key;
    std::size_t row;
    std::int64_t dueSeconds;
    bool enabled;
    bool passed;
    bool current; // the task last edited, which no filter hides

    bool operator<(const DisplayPosition& other) const {
        if (group != other.group) return group < other.group;
        if (key != other.key) return key < other.key;
        return row < other.row;
    }
};

DisplayPosition PositionOf(std::size_t row, std::int64_t dueSeconds, bool enabled, bool passed,
                           bool current) {
    const Group group = !enabled ? kDisabled : passed ? kPassed : kWaiting;
    return {group, group == kPassed ? -dueSeconds : dueSeconds, row, dueSeconds, enabled, passed, current};
}

// Rearranges rows so that row k becomes the one that was at from[k]; from is a permutation and is used up.
// Each row is moved once, following the permutation's cycles.
void Permute(std::vector<DisplayRow>& rows, std::vector<std::size_t>& from) {
    constexpr std::size_t kDone = static_cast<std::size_t>(-1);
    for (std::size_t start = 0; start < rows.size(); ++start) {
        if (from[start] == kDone) continue;
        if (from[start] == start) {
            from[start] = kDone;
            continue;
        }
        DisplayRow first = std::move(rows[start]);
        std::size_t to = start;
        while (from[to] != start) {
            const std::size_t next = from[to];
            rows[to] = std::move(rows[next]);
            from[to] = kDone;
            to = next;
        }
        rows[to] = std::move(first);
        from[to] = kDone;
    }
}

void FillDisplayRow(DisplayRow& d, const TaskRow& row, const Schedule& schedule, const RowTexts& texts) {
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
    auto& display = out.table.displayRows;
    std::vector<DisplayPosition> order;
    const std::size_t expected = std::min(rows.rowCount(), kMaxTimedTasks);
    taskRows.reserve(expected);
    display.reserve(std::max<std::size_t>(expected, 1));
    order.reserve(expected);

    // Each row's display row is made while its task row is at hand, in read order, and only then moved
    // to its place in the list: going through tens of thousands of task rows in list order instead
    // costs a cache miss on nearly every one of them.
    for (rows.first(); !rows.eof(); rows.next()) {
        if (taskRows.size() == kMaxTimedTasks) {
            out.problems.push_back({rows.fieldAsText("ID"), "there are more than 86,400 timed tasks"});
            continue;
        }
        // Filled in place: a task row is 38 strings, and moving each into the table would touch it twice.
        TaskRow& row = taskRows.emplace_back();
        Schedule schedule;
        try {
            reader.Read(rows, row);
            schedule = ParseSchedule(row);
        } catch (const Error& e) {
            taskRows.pop_back();
            out.problems.push_back({rows.fieldAsText("ID"), e.what()});
            continue;
        }
        const platform::LocalDateTime occurrence = NextOccurrence(schedule, now);
        const std::int64_t dueSeconds = DueSeconds(occurrence);
        const bool passed = nowMs >= dueSeconds * 1000;
        row[kColDueSeconds] = std::to_string(dueSeconds);
        row[kColStatus] = passed ? kStatusPassed : kStatusWaiting;
        row[kColDueKey] = DueKey(occurrence);
        // Every row gets its display position below, so every row is placed.
        row[kColPlaced] = "1";
        FillDisplayRow(display.emplace_back(), row, schedule, texts);
        order.push_back(PositionOf(taskRows.size() - 1, dueSeconds, row[kColEnabled] == "1", passed,
                                   row[kColId] == currentTaskId));
    }
    out.table.taskRowCount = taskRows.size();
    // Every task row now holds its own copy of the values; the read's memory can serve what follows.
    rows = data::DataSet();

    std::sort(order.begin(), order.end());
    // The rows shown, in list order, followed by the hidden ones, which are dropped once in place.
    std::vector<std::size_t> from;
    std::vector<std::size_t> hidden;
    from.reserve(order.size());
    const std::int64_t laterThanMs =
        nowMs + static_cast<std::int64_t>(filters.hideDays) * kMillisecondsPerDay;
    for (const DisplayPosition& p : order) {
        // The task just edited stays visible whatever the filters say, so the user sees what was saved.
        // The first row shown is never hidden as too far ahead: the list always shows what comes next.
        const bool tooFarAhead = filters.hideLater && p.enabled && !from.empty() &&
                                 laterThanMs <= p.dueSeconds * 1000 && !p.current;
        // While disabled tasks are listed at all, a disabled one is listed even when it has passed.
        const bool listedAsDisabled = !p.enabled && !filters.hideDisabled;
        const bool hiddenPassed = filters.hidePassed && p.passed && !p.current && !listedAsDisabled;
        if (tooFarAhead || hiddenPassed)
            hidden.push_back(p.row);
        else
            from.push_back(p.row);
    }
    const std::size_t shown = from.size();
    from.insert(from.end(), hidden.begin(), hidden.end());
    Permute(display, from);
    display.resize(shown);

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
