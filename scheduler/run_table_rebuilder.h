#pragma once

#include "data/task_store.h"
#include "i18n/text_lookup.h"
#include "platform/api/clock.h"
#include "scheduler/run_table_builder.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

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

    // The same table, made from the rows the current one holds and only those the store has written
    // since read again: the window's own save or switch of a task need not read tens of thousands of
    // tasks. Every occurrence is still computed anew. Reads every task, as RebuildRunTable, whenever the
    // rows held cannot stand for the file: after a write to many rows, after a table with a task left
    // out or a failed read, with the disabled tasks' filter changed, or when another program has written
    // to the file since the rows were read (its change counter tells), and for a file that keeps no such
    // counter.
    const RunTableBuild& RefreshRunTable(const RunTableFilters& filters, const std::string& currentTaskId);

    // Whether the last table came from the rows held and the written ones alone.
    bool TookInOwnWritesOnly() const { return tookInOwnWrites_; }

    const RunTableBuild& current() const { return current_; }
    // The dispatcher marks the rows it has run in the current table.
    RunTable& table() { return current_.table; }

  private:
    // Brings the held rows to what the read would give now, after the store's own writes since they were
    // read: the written tasks read again and put in their places. False when that cannot be done; raises
    // what the store raises, with the held rows then in no particular state.
    bool TakeInOwnWrites(std::vector<TaskRow>& held, bool hideDisabled,
                         std::optional<std::uint32_t> counterAtRead);
    const RunTableBuild& Replace(const RunTableFilters& filters,
                                 const std::function<RunTableBuild(RunTable)>& make);

    const data::TaskStore& store_;
    const platform::Clock& clock_;
    const i18n::TextLookup& text_;
    AfterRebuild afterRebuild_;
    RunTableAssembler assembler_;
    RunTableBuild current_;
    // What the current table was read as: the store's writes up to then, and whether every row it
    // holds stands for its task as stored.
    std::uint64_t builtAtWrite_ = 0;
    std::optional<std::uint32_t> counterAtRead_; // the file's change counter as the rows held were read
    bool rowsStandForFile_ = false;
    bool builtHidingDisabled_ = false;
    bool tookInOwnWrites_ = false;
};

// The display rows, hint and problems RebuildRunTable would make from the same read, without the task
// rows (taskRowCount is 0): for a reader that only shows the list, and at a fraction of the memory.
// Raises orvanta::Error for a database error.
RunTableBuild ListRunTable(const data::TaskStore& store, const platform::Clock& clock,
                           const i18n::TextLookup& text, const RunTableFilters& filters,
                           const std::string& currentTaskId);

} // namespace orvanta::scheduler
