#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "data/data_set.h"

namespace orvanta::data {

// Rows of one query copied out of the statement, so that they can be handled on another thread than the
// one stepping the query.
class RowBatch {
  public:
    void clear();
    void append(std::span<const std::string_view> cells);
    std::size_t rowCount() const { return columns_ == 0 ? 0 : ends_.size() / columns_; }
    // Writes row i's cells into cells (one per column); they stay valid until the batch is cleared.
    void cellsOf(std::size_t row, std::span<std::string_view> cells) const;

  private:
    std::string bytes_;
    std::vector<std::uint32_t> ends_; // the end of every cell in bytes_, row after row
    std::size_t columns_ = 0;
};

// Hands row batches, in the order they were read, from the thread that steps a query (the producer) to
// the thread that uses the rows (the consumer). At most a fixed number of batches is in flight, so a slow
// consumer holds the producer back instead of the whole result piling up; emptied batches go back to the
// producer for reuse.
//
// Beside the rows it carries the rows' places in the order of Last, which either side may work out: the
// producer by a read of its own (deliverPlaces), or the consumer on a second connection while the
// producer's read transaction holds the file (snapshotHeld, secondReadEnded).
class RowBatchQueue {
  public:
    // Why the producer stops early: the consumer gave up, so no one wants its rows.
    struct Cancelled {};

    explicit RowBatchQueue(std::size_t batchesInFlight);

    // Producer. The result's columns, before the first batch.
    void start(std::vector<DataSet::Column> columns);
    // An empty batch to fill; waits while the consumer holds every batch. Raises Cancelled once the
    // consumer has given up.
    std::unique_ptr<RowBatch> emptyBatch();
    void push(std::unique_ptr<RowBatch> batch);
    // The producer's read transaction holds the file: no writer can change it until the producer ends
    // that transaction, so a read begun now on another connection sees the same rows.
    void snapshotHeld();
    void deliverPlaces(std::vector<std::size_t> places);
    // Waits until the consumer's own read of the places has ended: true when it has them, false when the
    // producer must deliver them. Raises Cancelled once the consumer has given up.
    bool consumerHasPlaces();
    // The read has ended, well or with the given failure, which the consumer then raises.
    void finish(std::exception_ptr failure = nullptr);

    // Consumer. Waits until the producer has delivered the places (they are returned) or holds the file
    // (nothing is returned: the consumer may read them itself, then reports with secondReadEnded). Raises
    // the producer's failure.
    std::optional<std::vector<std::size_t>> placesOrSnapshot();
    void secondReadEnded(bool consumerHasPlaces);
    // Waits for the places the producer delivers.
    std::vector<std::size_t> deliveredPlaces();
    // The next batch, or nothing once the read has ended and every batch was taken. Raises the producer's
    // failure.
    std::unique_ptr<RowBatch> next();
    void recycle(std::unique_ptr<RowBatch> batch);
    void cancel();
    // Valid once the first batch has come.
    const std::vector<DataSet::Column>& columns() const { return columns_; }

  private:
    enum class SecondRead { kNotEnded, kHasPlaces, kFailed };

    [[noreturn]] void raiseFailure(); // with the mutex held

    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::unique_ptr<RowBatch>> full_;
    std::vector<std::unique_ptr<RowBatch>> empty_;
    std::size_t unmade_; // batches that may still be made
    std::vector<DataSet::Column> columns_;
    std::optional<std::vector<std::size_t>> places_;
    bool snapshotHeld_ = false;
    SecondRead secondRead_ = SecondRead::kNotEnded;
    bool finished_ = false;
    bool cancelled_ = false;
    std::exception_ptr failure_;
};

} // namespace orvanta::data
