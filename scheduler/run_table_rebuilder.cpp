#include "scheduler/run_table_rebuilder.h"

#include "data/error.h"
#include "scheduler/task_row.h"

#include <map>

namespace orvanta::scheduler {
namespace {

// The timed tasks read into the assembler. The clock is read once, when the first row arrives: the
// read has then scanned and ordered the whole table, and every row of one table is computed from the
// same now.
RunTableBuild ReadRunTable(RunTableAssembler& assembler, const data::TaskStore& store,
                           const platform::Clock& clock, const RunTableFilters& filters,
                           const std::string& currentTaskId, RunTable earlier,
                           RunTableAssembler::TaskRows taskRows,
                           std::optional<std::uint32_t>* changeCounter = nullptr) {
    bool begun = false;
    auto begin = [&] {
        assembler.Begin(ZoneNow::Read(clock), filters, currentTaskId, std::move(earlier), taskRows);
        // A list read once (orvantactl) has no earlier table to size it by, and grown row by row it
        // would copy and touch its memory twice over. Room for the largest list costs address space
        // only: memory reaches the process page by page as rows are written. The program's own first
        // table grows instead: mapping that room for a small table costs more than growing it.
        if (taskRows == RunTableAssembler::TaskRows::kDropped) assembler.Reserve(kMaxTimedTasks);
        begun = true;
    };
    std::size_t place = 0;
    store.ReadTimedTasks(
        filters.hideDisabled,
        [&](const data::ResultRow& row) {
            if (!begun) begin();
            assembler.Add(row, place++);
        },
        changeCounter);
    if (!begun) begin();
    return assembler.Finish();
}

} // namespace

RunTableRebuilder::RunTableRebuilder(const data::TaskStore& store, const platform::Clock& clock,
                                     const i18n::TextLookup& text, AfterRebuild afterRebuild)
    : store_(store), clock_(clock), text_(text), afterRebuild_(std::move(afterRebuild)), assembler_(text),
      current_(EmptyRunTable(text)) {}

const RunTableBuild& RunTableRebuilder::Replace(const RunTableFilters& filters,
                                                const std::function<RunTableBuild(RunTable)>& make) {
    // Reset first: should the read fail, no reader may keep seeing the rows of the previous table. Its
    // rows are written over by the new one, so their memory serves again rather than being freed and
    // allocated anew, row by row, on every change.
    RunTable earlier = std::move(current_.table);
    current_ = EmptyRunTable(text_);
    rowsStandForFile_ = false;
    tookInOwnWrites_ = false;
    const std::uint64_t writesBefore = store_.writeMark();
    counterAtRead_.reset();
    try {
        current_ = make(std::move(earlier));
    } catch (const std::exception& e) {
        current_.readFailure = e.what();
        throw;
    }
    builtAtWrite_ = writesBefore;
    builtHidingDisabled_ = filters.hideDisabled;
    rowsStandForFile_ = current_.problems.empty();
    if (afterRebuild_) afterRebuild_(current_);
    return current_;
}

const RunTableBuild& RunTableRebuilder::RebuildRunTable(const RunTableFilters& filters,
                                                        const std::string& currentTaskId) {
    return Replace(filters, [&](RunTable earlier) {
        return ReadRunTable(assembler_, store_, clock_, filters, currentTaskId, std::move(earlier),
                            RunTableAssembler::TaskRows::kKept, &counterAtRead_);
    });
}

const RunTableBuild& RunTableRebuilder::RefreshRunTable(const RunTableFilters& filters,
                                                        const std::string& currentTaskId) {
    if (!rowsStandForFile_ || filters.hideDisabled != builtHidingDisabled_)
        return RebuildRunTable(filters, currentTaskId);
    const std::optional<std::uint32_t> counterBefore = counterAtRead_;
    return Replace(filters, [&](RunTable earlier) {
        bool tookIn = false;
        try {
            tookIn = TakeInOwnWrites(earlier.taskRows, filters.hideDisabled, counterBefore);
        } catch (const Error&) {
            // A row that does not read, a task gone meanwhile or the file held by another program: the
            // whole read below reports what it finds, each task in its place among the others.
        }
        if (!tookIn)
            return ReadRunTable(assembler_, store_, clock_, filters, currentTaskId, std::move(earlier),
                                RunTableAssembler::TaskRows::kKept, &counterAtRead_);
        tookInOwnWrites_ = true;
        // Each row is computed anew where it lies.
        const std::size_t count = earlier.taskRows.size();
        assembler_.Begin(ZoneNow::Read(clock_), filters, currentTaskId, std::move(earlier));
        for (std::size_t place = 0; place < count; ++place)
            assembler_.AddHeld(place);
        return assembler_.Finish();
    });
}

bool RunTableRebuilder::TakeInOwnWrites(std::vector<TaskRow>& held, bool hideDisabled,
                                        std::optional<std::uint32_t> counterAtRead) {
    const auto writes = store_.RowWritesSince(builtAtWrite_, counterAtRead);
    if (!writes) return false;
    const std::optional<std::uint32_t> counter =
        writes->empty() ? counterAtRead : writes->back().counterAfter;
    // Each written task once; a task saved anew by any of its writes may have moved in the read.
    std::map<std::string, bool, std::less<>> lastSet;
    for (const auto& w : *writes)
        lastSet[w.id] = lastSet[w.id] || w.lastSet;

    // The written tasks as stored now; those the read leaves out (deleted, disabled while hidden, made a
    // hotkey task) are not in the new table.
    std::map<std::string, TaskRow, std::less<>> fresh;
    for (const auto& [id, moved] : lastSet) {
        TaskRow row;
        const bool found = store_.ReadTimedTask(id, hideDisabled, [&](const data::ResultRow& source) {
            TaskRowReader(source).Read(source, row);
        });
        if (found) fresh.emplace(id, std::move(row));
    }

    // The tasks whose Last stayed keep their place among the held rows, as the read orders by it alone;
    // the others are put where the read would put them. The rows move within the held ones, so a large
    // table is not copied.
    std::size_t kept = 0;
    for (std::size_t i = 0; i < held.size(); ++i) {
        const auto written = lastSet.find(held[i][kColId]);
        if (written != lastSet.end()) {
            const auto now = fresh.find(written->first);
            if (written->second || now == fresh.end()) continue;
            held[i] = std::move(now->second);
            fresh.erase(now);
        }
        if (kept != i) held[kept] = std::move(held[i]);
        ++kept;
    }
    held.resize(kept);
    // Each into the rows ordered so far, where the read would put it.
    for (auto& [id, row] : fresh) {
        const std::size_t place = store_.TimedTaskPlaceAmong(
            id, held.size(), [&](std::size_t i) { return std::string(held[i][kColId]); });
        held.insert(held.begin() + static_cast<std::ptrdiff_t>(place), std::move(row));
    }
    // Another program's write since the last one of ours, even one made while these rows were read, is
    // for a whole read to take in.
    if (store_.ChangeCounter() != counter) return false;
    counterAtRead_ = counter;
    return true;
}

RunTableBuild ListRunTable(const data::TaskStore& store, const platform::Clock& clock,
                           const i18n::TextLookup& text, const RunTableFilters& filters,
                           const std::string& currentTaskId) {
    RunTableAssembler assembler(text);
    return ReadRunTable(assembler, store, clock, filters, currentTaskId, {},
                        RunTableAssembler::TaskRows::kDropped);
}

} // namespace orvanta::scheduler
