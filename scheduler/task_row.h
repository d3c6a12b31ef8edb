#pragma once

#include "data/data_set.h"
#include "platform/api/clock.h"
#include "scheduler/occurrence.h"
#include "scheduler/run_table.h"

#include <vector>

namespace orvanta::scheduler {

// Reads task rows from a tasklist query, its columns looked up once for the whole result.
class TaskRowReader {
  public:
    // Raises orvanta::Error ("Field not found in dataset: ...") when a non-empty result lacks a column a
    // task row is made from: such a result is unusable as a whole, unlike a single bad row.
    explicit TaskRowReader(const data::DataSet& rows);
    explicit TaskRowReader(const data::ResultRow& row);
    // The current row written over an existing task row (keeping its memory), the computed columns empty.
    // Raises orvanta::Error naming the column whose hex text does not decode.
    void Read(const data::DataSet& rows, TaskRow& row) const;
    void Read(const data::ResultRow& source, TaskRow& row) const;

  private:
    template <typename Source> void ReadFrom(const Source& source, TaskRow& row) const;

    std::vector<std::size_t> columns_; // result column of each source, in source order
};

// The task row of the current row of a tasklist query: integers as stored, the nine text columns
// decoded, the computed columns empty.
TaskRow ReadTaskRow(const data::DataSet& rows);

// Converts the scheduling columns of a task row. Raises orvanta::Error naming the field that cannot be
// read: a kind, date field or repeat interval that is no integer or out of range, or a start time (or,
// for a repeating task, an end time) that is no time of day. A task without a repeat never looks at its
// end time, so it is scheduled whatever that column holds.
Schedule ParseSchedule(const TaskRow& row);

// NextOccurrence of the task row's schedule.
platform::LocalDateTime NextOccurrence(const TaskRow& row, const platform::LocalDateTime& now);

} // namespace orvanta::scheduler
