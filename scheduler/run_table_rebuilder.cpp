#include "scheduler/run_table_rebuilder.h"

namespace orvanta::scheduler {

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
    store_.EnsureTaskTable();
    // The clock is read once, when the first row arrives: the query has then scanned and sorted the
    // whole table, and every row of one table is computed from the same now.
    bool begun = false;
    auto begin = [&] {
        assembler_.Begin(clock_.now(), filters, currentTaskId, std::move(earlier));
        begun = true;
    };
    store_.ReadTimedTasks(filters.hideDisabled, [&](const data::ResultRow& row) {
        if (!begun) begin();
        assembler_.Add(row);
    });
    if (!begun) begin();
    current_ = assembler_.Finish();
    if (afterRebuild_) afterRebuild_(current_);
    return current_;
}

} // namespace orvanta::scheduler
