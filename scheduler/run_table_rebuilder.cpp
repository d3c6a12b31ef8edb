#include "scheduler/run_table_rebuilder.h"

namespace orvanta::scheduler {

RunTableRebuilder::RunTableRebuilder(const data::TaskStore& store, const platform::Clock& clock,
                                     const i18n::TextLookup& text, AfterRebuild afterRebuild)
    : store_(store), clock_(clock), text_(text), afterRebuild_(std::move(afterRebuild)),
      current_(EmptyRunTable(text)) {}

const RunTableBuild& RunTableRebuilder::RebuildRunTable(const RunTableFilters& filters,
                                                        const std::string& currentTaskId) {
    // Reset first: should the read fail, no reader may keep seeing the rows of the previous table.
    current_ = EmptyRunTable(text_);
    store_.EnsureTaskTable();
    data::DataSet rows = store_.ReadTimedTasks(filters.hideDisabled);
    // The clock is read once, after the read, so every row of one table is computed from the same now.
    current_ = BuildRunTable(std::move(rows), clock_.now(), filters, currentTaskId, text_);
    if (afterRebuild_) afterRebuild_(current_);
    return current_;
}

} // namespace orvanta::scheduler
