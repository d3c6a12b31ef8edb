#include "scheduler/run_table_rebuilder.h"

namespace orvanta::scheduler {
namespace {

// The timed tasks read into the assembler. The clock is read once, when the first row arrives: the
// read has then scanned and ordered the whole table, and every row of one table is computed from the
// same now.
RunTableBuild ReadRunTable(RunTableAssembler& assembler, const data::TaskStore& store,
                           const platform::Clock& clock, const RunTableFilters& filters,
                           const std::string& currentTaskId, RunTable earlier,
                           RunTableAssembler::TaskRows taskRows) {
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
    store.ReadTimedTasks(filters.hideDisabled, [&](const data::ResultRow& row) {
        if (!begun) begin();
        assembler.Add(row, place++);
    });
    if (!begun) begin();
    return assembler.Finish();
}

} // namespace

RunTableRebuilder::RunTableRebuilder(const data::TaskStore& store, const platform::Clock& clock,
                                     const i18n::TextLookup& text, AfterRebuild afterRebuild)
    : store_(store), clock_(clock), text_(text), afterRebuild_(std::move(afterRebuild)), assembler_(text),
      current_(EmptyRunTable(text)) {}

const RunTableBuild& RunTableRebuilder::RebuildRunTable(const RunTableFilters& filters,
                                                        const std::string& currentTaskId) {
    // Reset first: should the read fail, no reader may keep seeing the rows of the previous table. Its
    // rows are written over by the new one, so their memory serves again rather than being freed and
    // allocated anew, row by row, on every change.
    RunTable earlier = std::move(current_.table);
    current_ = EmptyRunTable(text_);
    try {
        current_ = ReadRunTable(assembler_, store_, clock_, filters, currentTaskId, std::move(earlier),
                                RunTableAssembler::TaskRows::kKept);
    } catch (const std::exception& e) {
        current_.readFailure = e.what();
        throw;
    }
    if (afterRebuild_) afterRebuild_(current_);
    return current_;
}

RunTableBuild ListRunTable(const data::TaskStore& store, const platform::Clock& clock,
                           const i18n::TextLookup& text, const RunTableFilters& filters,
                           const std::string& currentTaskId) {
    RunTableAssembler assembler(text);
    return ReadRunTable(assembler, store, clock, filters, currentTaskId, {},
                        RunTableAssembler::TaskRows::kDropped);
}

} // namespace orvanta::scheduler
