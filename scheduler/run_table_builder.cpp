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

// The display columns copied from the task row, as they follow the line's text in the text buffer.
constexpr std::array<std::size_t, 6> kCopiedColumns = {kColId,        kColEnabled, kColDueSeconds,
                                                       kColCountdown, kColDueKey,  kColStatus};
constexpr std::array<std::size_t, 7> kPendingColumns = {
    kDispText, kDispId, kDispEnabled, kDispDueSeconds, kDispCountdown, kDispDueKey, kDispStatus};

} // namespace

// Where a row goes in the list, what the filters ask of it, and its display row.
struct RunTableAssembler::Position {
    Group group;
    std::int64_t key;
    std::size_t row;
    std::int64_t dueSeconds;
    bool enabled;
    bool passed;
    bool current; // the task last edited, which no filter hides
    bool wakes;
    // The display row's texts lie back to back in the display rows' text from textStart, in the order
    // of kPendingColumns.
    std::size_t textStart;
    std::array<std::uint32_t, kPendingColumns.size()> textSizes;
};

// A position's place in the list: group first, then the group's order of due times; the read position
// breaks ties, so rows with the same due time keep the order of their last save, as a stable sort would.
struct RunTableAssembler::Rank {
    int group;
    std::int64_t key;
    std::size_t row;
    std::size_t index; // in order_

    bool operator<(const Rank& other) const {
        if (group != other.group) return group < other.group;
        if (key != other.key) return key < other.key;
        return row < other.row;
    }
};

namespace {

bool WakesTheComputer(std::string_view event) {
    static const std::string kWakeOnly = std::to_string(data::kEventWakeOnly);
    static const std::string kWakeAndRun = std::to_string(data::kEventWakeAndRun);
    return event == kWakeOnly || event == kWakeAndRun;
}

void AppendNoneRow(DisplayRows& rows, const RowTexts& texts) {
    rows.Append({texts.none, "", "", "", "", "", "", ""});
}

} // namespace

RunTableBuild EmptyRunTable(const i18n::TextLookup& text) {
    const RowTexts texts = RowTexts::Load(text);
    RunTableBuild out;
    AppendNoneRow(*out.table.displayRows, texts);
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
    // Rows the list still shows are left to it; the new ones go elsewhere.
    auto& display = out_.table.displayRows;
    if (display && display.use_count() == 1)
        display->Clear();
    else
        display = std::make_shared<DisplayRows>();
    placesUsed_ = 0;
    leftOut_.clear();
    order_.clear();
    Reserve(out_.table.taskRows.size());
}

RunTableAssembler::~RunTableAssembler() = default;

void RunTableAssembler::Reserve(std::size_t rows) {
    if (keepTaskRows_) out_.table.taskRows.reserve(rows);
    out_.table.displayRows->Reserve(std::max<std::size_t>(rows, 1), rows * 160);
    order_.reserve(rows);
}

void RunTableAssembler::Add(const data::ResultRow& source, std::size_t place) {
    if (!reader_) {
        reader_.emplace(source);
        idColumn_ = source.columnIndex("ID");
    }
    TaskRow* row = Slot(std::string(source.textAt(idColumn_)), place);
    if (!row) return;
    try {
        reader_->Read(source, *row);
    } catch (const Error& e) {
        LeaveOut(std::string(source.textAt(idColumn_)), e.what(), place);
        return;
    }
    Place(*row, place);
}

void RunTableAssembler::AddHeld(std::size_t place) {
    auto& taskRows = out_.table.taskRows;
    if (!keepTaskRows_ || place >= taskRows.size()) throw Error("No task row is held at this place");
    TaskRow* row = Slot(std::string(taskRows[place][kColId]), place);
    if (!row) return;
    // As a read leaves them: the dispatcher's mark of a run goes with the table it was made in.
    row->Set(kColFired, "");
    Place(*row, place);
}

void RunTableAssembler::LeaveOut(std::string taskId, std::string problem, std::size_t place) {
    out_.problems.push_back({std::move(taskId), std::move(problem)});
    leftOut_.push_back(place);
}

TaskRow* RunTableAssembler::Slot(std::string taskId, std::size_t place) {
    if (place >= kMaxTimedTasks) {
        LeaveOut(std::move(taskId), "there are more than 86,400 timed tasks", place);
        return nullptr;
    }
    // Filled in place, in the memory the slot's row already has. A row that fails keeps its slot until
    // Finish closes the gap. Without task rows to keep, every row is read into the one scratch row.
    auto& taskRows = out_.table.taskRows;
    const std::size_t slot = keepTaskRows_ ? place : 0;
    if (slot >= taskRows.size()) taskRows.resize(slot + 1);
    placesUsed_ = std::max(placesUsed_, place + 1);
    return &taskRows[slot];
}

void RunTableAssembler::Place(TaskRow& row, std::size_t place) {
    Schedule schedule;
    try {
        schedule = ParseSchedule(row);
    } catch (const Error& e) {
        LeaveOut(std::string(row[kColId]), e.what(), place);
        return;
    }
    const platform::LocalDateTime occurrence = NextOccurrence(schedule, now_);
    const std::int64_t dueSeconds = DueSeconds(occurrence);
    const bool passed = nowMs_ >= dueSeconds * 1000 || now_.Reached(occurrence);
    char digits[24];
    row.Set(kColDueSeconds, {digits, std::to_chars(digits, digits + sizeof digits, dueSeconds).ptr});
    row.Set(kColStatus, passed ? kStatusPassed : kStatusWaiting);
    dueKey_.clear();
    WriteDueKey(dueKey_, occurrence);
    row.Set(kColDueKey, dueKey_);
    // Every row gets its display position below, so every row is placed. The unused columns and the
    // dispatcher's mark are empty, as the read left them.
    row.Set(kColPlaced, "1");

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
         out_.table.displayRows->text().size(),
         {}};
    // The display row's texts are written now, while the task row is at hand, in read order; the rows
    // that place them come in list order once it is known, and copy none of them.
    std::string& text = out_.table.displayRows->text();
    std::size_t end = text.size();
    AppendRowText(text, row, schedule, texts_);
    p.textSizes[0] = static_cast<std::uint32_t>(text.size() - end);
    for (std::size_t i = 0; i < kCopiedColumns.size(); ++i) {
        end = text.size();
        text.append(row[kCopiedColumns[i]]);
        p.textSizes[i + 1] = static_cast<std::uint32_t>(text.size() - end);
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
    // Sorted as small keys, not as the positions, which are many times their size.
    ranks_.clear();
    ranks_.reserve(order_.size());
    for (std::size_t i = 0; i < order_.size(); ++i)
        ranks_.push_back({order_[i].group, order_[i].key, order_[i].row, i});
    std::sort(ranks_.begin(), ranks_.end());

    DisplayRows& display = *out_.table.displayRows;
    std::size_t shown = 0;
    const std::int64_t laterThanMs =
        nowMs_ + static_cast<std::int64_t>(filters_.hideDays) * kMillisecondsPerDay;
    for (const Rank& rank : ranks_) {
        const Position& p = order_[rank.index];
        // The task just edited stays visible whatever the filters say, so the user sees what was saved.
        // The first row shown is never hidden as too far ahead: the list always shows what comes next.
        const bool tooFarAhead =
            filters_.hideLater && p.enabled && shown > 0 && laterThanMs <= p.dueSeconds * 1000 && !p.current;
        // While disabled tasks are listed at all, a disabled one is listed even when it has passed.
        const bool listedAsDisabled = !p.enabled && !filters_.hideDisabled;
        const bool hiddenPassed = filters_.hidePassed && p.passed && !p.current && !listedAsDisabled;
        if (tooFarAhead || hiddenPassed) continue;
        DisplayRows::Places places;
        auto start = static_cast<std::uint32_t>(p.textStart);
        for (std::size_t i = 0; i < kPendingColumns.size(); ++i) {
            places[kPendingColumns[i]] = {start, p.textSizes[i]};
            start += p.textSizes[i];
        }
        // A wake-up task's wake key is its due key, one text for both cells.
        places[kDispWakeKey] = p.wakes ? places[kDispDueKey] : DisplayRows::Place{};
        display.AppendPlaced(places);
        ++shown;
    }

    if (display.empty()) AppendNoneRow(display, texts_);
    const DisplayRow first = display.front();
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
