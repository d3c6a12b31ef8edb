#pragma once

#include <cstddef>
#include <functional>
#include <string>

#include "data/data_set.h"

namespace orvanta::data {

using PlacedRowCallback = std::function<void(const ResultRow& row, std::size_t place, std::size_t rows)>;

// The timed tasks of the file at path (enabled ones only with hideDisabled), each handed to onRow on the
// calling thread with its place in the order of Last (ties in stored order) and the number of rows.
//
// The rows are read in stored order on a thread of their own, and the Last values alone are read and
// sorted at the same time on the calling thread through a second connection; the caller's work on the
// rows then overlaps the reading too. Both reads see the same rows: the second one begins while the
// first one's read transaction holds the file, which no writer can change meanwhile. Where that cannot
// be had (a writer is about to commit, or the file keeps a write-ahead log, whose readers do not hold
// writers back), the first connection reads the places itself, within its own transaction.
void ReadPlacedTimedTasks(const std::string& path, bool hideDisabled, const PlacedRowCallback& onRow);

} // namespace orvanta::data
