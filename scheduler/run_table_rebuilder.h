#pragma once

#include "data/task_store.h"
#include "i18n/text_lookup.h"
#include "platform/api/clock.h"
#include "scheduler/run_table_builder.h"

#include <functional>
#include <string>

namespace orvanta::scheduler {

// Owns the current run table and recomputes it from the task database on every change that could move
// an occurrence. Runs on the GUI thread only.
class RunTableRebuilder {
  public:
    // Runs after each successful rebuild with the new table; the wake-up timers re-arm from it there
    // (taking a copy of what their threads read, so they never see a table being rebuilt).
    using AfterRebuild = std::function<void(const RunTableBuild&)>;

    RunTableRebuilder(const data::TaskStore& store, const platform::Clock& clock,
                      const i18n::TextLookup& text, AfterRebuild afterRebuild);

    // Reads every timed task and replaces the table, then runs the after-rebuild step. Tasks that cannot
    // be scheduled are left out and listed in the result's problems; the caller shows them once its own
    // work is done, so a damaged row never interrupts a dispatch pass. A database error raises
    // orvanta::Error with the table reset to its "None" state and the after-rebuild step not run.
    const RunTableBuild& RebuildRunTable(const RunTableFilters& filters, const std::string& currentTaskId);

    const RunTableBuild& current() const { return current_; }
    // The dispatcher marks the rows it has run in the current table.
    RunTable& table() { return current_.table; }

  private:
    const data::TaskStore& store_;
    const platform::Clock& clock_;
    const i18n::TextLookup& text_;
    AfterRebuild afterRebuild_;
    RunTableAssembler assembler_;
    RunTableBuild current_;
};

// The display rows, hint and problems RebuildRunTable would make from the same read, without the task
// rows (taskRowCount is 0): for a reader that only shows the list, and at a fraction of the memory.
// Raises orvanta::Error for a database error.
RunTableBuild ListRunTable(const data::TaskStore& store, const platform::Clock& clock,
                           const i18n::TextLookup& text, const RunTableFilters& filters,
                           const std::string& currentTaskId);

} // namespace orvanta::scheduler
