#include "scheduler/run_table_builder.h"

#include "data/error.h"
#include "data/task_record.h"
#include "scheduler/calendar.h"
#include "scheduler/occurrence.h"
#include "scheduler/row_text.h"
#include "scheduler/task_row.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>

namespace orvanta::scheduler {
namespace {

constexpr std::int64_t kMillisecondsPerDay = 86'400'000;
constexpr std::size_t kProblemsListed = 10;

// Enabled waiting tasks first, soonest first; then disabled ones, soonest first; then enabled Passed
// ones, most recently passed first.
enum Group : int { kWaiting = 0, kDisabled = 1, kPassed = 2 };

} // namespace

// Where a row goes in the list, what the filters ask of it, and its display row. Group first, then the
// group's order of due times; the read position breaks ties, so rows with the same due time keep the
// order of their last save, as a stable sort would.
struct RunTableAssembler::Position {
    Group group;
    std::int64_t key;
    std::size_t row;
    std::int64_t dueSeconds;
    bool enabled;
    bool passed;
    bool current; // the task last edited, which no filter hides
    bool wakes;
    // The display row's texts lie back to back in the assembler's text buffer from textStart, in the
    // order of kPendingColumns.
    std::size_t textStart;
    std::array<std::uint32_t, 6> textSizes;

    bool operator<(const Position& other) const {
        if (group != other.group) return group < other.group;
        if (key != other.key) return key < other.key;
        return row < other.row;
    }
};

namespace {

// The display columns copied from the task row, as they follow the line's text in the text buffer.
constexpr std::array<std::size_t, 5> kCopiedColumns = {kColId, kColEnabled, kColDueSeconds, kColCountdown,
                                                       kColDueKey};
constexpr std::array<std::size_t, 6> kPendingColumns = {kDispText,       kDispId,        kDispEnabled,
                                                        kDispDueSeconds, kDispCountdown, kDispDueKey};

// The columns neither read from the store nor computed: the unused ones, and the dispatcher's mark.
constexpr std::size_t kClearedColumns[] = {17, 27, 31, 32, 33, kColFired};

bool WakesTheComputer(const std::string& event) {
    static const std::string kWakeOnly = std::to_string(data::kEventWakeOnly);
    static const std::string kWakeAndRun = std::to_string(data::kEventWakeAndRun);
    return event == kWakeOnly || event == kWakeAndRun;
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

RunTableAssembler::RunTableAssembler(const i18n::TextLookup& text) : text_(text) {}

void RunTableAssembler::Begin(const ZoneNow& now, const RunTableFilters& filters,
                              const std::string& currentTaskId, RunTable earlier, TaskRows taskRows) {
    keepTaskRows_ = taskRows == TaskRows::kKept;
    now_ = now;
    nowMs_ = LocalMilliseconds(now.local);
    filters_ = filters;
    currentTaskId_ = currentTaskId;
    // Looked up for every table, as the language may have changed since the last.
    texts_ = RowTexts::Load(text_);
    reader_.reset();
    out_ = RunTableBuild();
    out_.table = std::move(earlier);
    out_.table.builtAtUtcMs = now.utcMs;
    placesUsed_ = 0;
    leftOut_.clear();
    order_.clear();
    displayText_.clear();
    Reserve(out_.table.taskRows.size());
}

RunTableAssembler::~RunTableAssembler() = default;

void RunTableAssembler::Reserve(std::size_t rows) {
    if (keepTaskRows_) out_.table.taskRows.reserve(rows);
    out_.table.displayRows.reserve(std::max<std::size_t>(rows, 1));
    order_.reserve(rows);
    displayText_.reserve(rows * 160);
}

void RunTableAssembler::Add(const data::ResultRow& source, std::size_t place) {
    if (!reader_) {
        reader_.emplace(source);
        idColumn_ = source.columnIndex("ID");
    }
    auto& taskRows = out_.table.taskRows;
    auto leaveOut = [&](std::string problem) {
        out_.problems.push_back({std::string(source.textAt(idColumn_)), std::move(problem)});
        leftOut_.push_back(place);
    };
    if (place >= kMaxTimedTasks) {
        leaveOut("there are more than 86,400 timed tasks");
        return;
    }
    // Filled in place: a task row is 38 strings, and moving each into the table would touch it twice. A
    // row that fails keeps its slot until Finish closes the gap. Without task rows to keep, every row is
    // read into the one scratch row.
    const std::size_t slot = keepTaskRows_ ? place : 0;
    if (slot >= taskRows.size()) taskRows.resize(slot + 1);
    placesUsed_ = std::max(placesUsed_, place + 1);
    TaskRow& row = taskRows[slot];
    Schedule schedule;
    try {
        reader_->Read(source, row);
        schedule = ParseSchedule(row);
    } catch (const Error& e) {
        leaveOut(e.what());
        return;
    }
    const platform::LocalDateTime occurrence = NextOccurrence(schedule, now_);
    const std::int64_t dueSeconds = DueSeconds(occurrence);
    const bool passed = nowMs_ >= dueSeconds * 1000 || now_.Reached(occurrence);
    char digits[24];
    row[kColDueSeconds].assign(digits, std::to_chars(digits, digits + sizeof digits, dueSeconds).ptr);
    row[kColStatus] = passed ? kStatusPassed : kStatusWaiting;
    WriteDueKey(row[kColDueKey], occurrence);
    // Every row gets its display position below, so every row is placed.
    row[kColPlaced] = "1";
    for (const std::size_t column : kClearedColumns)
        row[column].clear();

    const bool enabled = row[kColEnabled] == "1";
    const Group group = !enabled ? kDisabled : passed ? kPassed : kWaiting;
    Position& p = order_.emplace_back();
    p = {group,
         group == kPassed ? -dueSeconds : dueSeconds,
         place,
         dueSeconds,
         enabled,
         passed,
         row[kColId] == currentTaskId_,
         WakesTheComputer(row[kColEvent]),
         displayText_.size(),
         {}};
    // The display row's texts are made now, while the task row is at hand, and written to the list's
    // rows in list order once it is known: a task row visited in list order, or a display row moved to
    // its place, costs a cache miss or more, where this buffer is written and read nearly in sequence.
    std::size_t end = displayText_.size();
    AppendRowText(displayText_, row, schedule, texts_);
    p.textSizes[0] = static_cast<std::uint32_t>(displayText_.size() - end);
    for (std::size_t i = 0; i < kCopiedColumns.size(); ++i) {
        end = displayText_.size();
        displayText_.append(row[kCopiedColumns[i]]);
        p.textSizes[i + 1] = static_cast<std::uint32_t>(displayText_.size() - end);
    }
}

void RunTableAssembler::CloseGaps() {
    // The problems in the read's order, whatever order the rows came in.
    std::vector<std::size_t> byPlace(leftOut_.size());
    for (std::size_t i = 0; i < byPlace.size(); ++i)
        byPlace[i] = i;
    std::stable_sort(byPlace.begin(), byPlace.end(),
                     [&](std::size_t a, std::size_t b) { return leftOut_[a] < leftOut_[b]; });
    std::vector<RowProblem> problems;
    problems.reserve(byPlace.size());
    for (const std::size_t i : byPlace)
        problems.push_back(std::move(out_.problems[i]));
    out_.problems = std::move(problems);
    std::sort(leftOut_.begin(), leftOut_.end());

    auto& taskRows = out_.table.taskRows;
    if (!keepTaskRows_) {
        taskRows.clear();
        return;
    }
    // The rows left out leave gaps among the places; the rows after each gap move up, keeping their order.
    std::size_t kept = 0;
    std::size_t gap = 0;
    for (std::size_t place = 0; place < placesUsed_; ++place) {
        if (gap < leftOut_.size() && leftOut_[gap] == place) {
            ++gap;
            continue;
        }
        if (kept != place) std::swap(taskRows[kept], taskRows[place]);
        ++kept;
    }
    taskRows.resize(kept);
}

RunTableBuild RunTableAssembler::Finish() {
    CloseGaps();
    out_.table.taskRowCount = out_.table.taskRows.size();
    std::sort(order_.begin(), order_.end());

    auto& display = out_.table.displayRows;
    // A first table has no earlier rows to write over: grown row by row, every row would move again and
    // again.
    display.reserve(order_.size());
    std::size_t shown = 0;
    const std::int64_t laterThanMs =
        nowMs_ + static_cast<std::int64_t>(filters_.hideDays) * kMillisecondsPerDay;
    for (const Position& p : order_) {
        // The task just edited stays visible whatever the filters say, so the user sees what was saved.
        // The first row shown is never hidden as too far ahead: the list always shows what comes next.
        const bool tooFarAhead =
            filters_.hideLater && p.enabled && shown > 0 && laterThanMs <= p.dueSeconds * 1000 && !p.current;
        // While disabled tasks are listed at all, a disabled one is listed even when it has passed.
        const bool listedAsDisabled = !p.enabled && !filters_.hideDisabled;
        const bool hiddenPassed = filters_.hidePassed && p.passed && !p.current && !listedAsDisabled;
        if (tooFarAhead || hiddenPassed) continue;
        // Every column is written, as the row may hold an earlier table's values.
        if (shown == display.size()) display.emplace_back();
        DisplayRow& d = display[shown++];
        std::size_t start = p.textStart;
        for (std::size_t i = 0; i < kPendingColumns.size(); ++i) {
            d[kPendingColumns[i]].assign(displayText_, start, p.textSizes[i]);
            start += p.textSizes[i];
        }
        d[kDispStatus] = p.passed ? kStatusPassed : kStatusWaiting;
        if (p.wakes)
            d[kDispWakeKey] = d[kDispDueKey];
        else
            d[kDispWakeKey].clear();
    }
    display.resize(shown);

    if (display.empty()) display.push_back(NoneRow(texts_));
    const DisplayRow& first = display.front();
    out_.hint = first[kDispStatus] != kStatusPassed && first[kDispEnabled] == "1"
                    ? UpcomingHint(first[kDispText], texts_)
                    : NoUpcomingHint(texts_);
    return std::move(out_);
}

RunTableBuild BuildRunTable(data::DataSet rows, const platform::LocalDateTime& now,
                            const RunTableFilters& filters, const std::string& currentTaskId,
                            const i18n::TextLookup& text) {
    RunTableAssembler assembler(text);
    assembler.Begin(ZoneNow::Wall(now), filters, currentTaskId);
    assembler.Reserve(std::min(rows.rowCount(), kMaxTimedTasks));
    data::ResultRow row(rows.columns());
    const std::span<std::string_view> cells = row.cells();
    std::size_t place = 0;
    for (rows.first(); !rows.eof(); rows.next()) {
        for (std::size_t i = 0; i < cells.size(); ++i)
            cells[i] = rows.textAt(i);
        assembler.Add(row, place++);
    }
    // Every task row now holds its own copy of the values; the read's memory can serve what follows.
    rows = data::DataSet();
    return assembler.Finish();
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
