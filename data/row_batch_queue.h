#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "data/data_set.h"

namespace orvanta::data {

// Rows of one query copied out of the statement, with each row's place and the number of rows of the
// read, so that they can be handled on another thread than the one stepping the query.
class RowBatch {
  public:
    void clear();
    void append(std::span<const std::string_view> cells, std::size_t place);
    std::size_t rowCount() const { return places_.size(); }
    // Writes row i's cells into cells (one per column); they stay valid until the batch is cleared.
    void cellsOf(std::size_t row, std::span<std::string_view> cells) const;
    std::size_t placeOf(std::size_t row) const { return places_[row]; }

  private:
    std::string bytes_;
    std::vector<std::uint32_t> ends_; // the end of every cell in bytes_, row after row
    std::vector<std::size_t> places_;
    std::size_t columns_ = 0;
};

// Hands row batches from the thread that reads a query (the producer) to the thread that uses the rows
// (the consumer). At most a fixed number of batches is in flight, so a slow consumer holds the producer
// back instead of the whole result piling up; emptied batches go back to the producer for reuse.
class RowBatchQueue {
  public:
    // Why the producer stops early: the consumer gave up, so no one wants its rows.
    struct Cancelled {};

    explicit RowBatchQueue(std::size_t batchesInFlight);

    // Producer. Called once, before the first batch: the result's columns and the number of its rows.
    void start(std::vector<DataSet::Column> columns, std::size_t rows);
    // An empty batch to fill; waits while the consumer holds every batch. Raises Cancelled once the
    // consumer has given up.
    std::unique_ptr<RowBatch> emptyBatch();
    void push(std::unique_ptr<RowBatch> batch);
    // The read has ended, well or with the given failure, which the consumer then raises.
    void finish(std::exception_ptr failure = nullptr);

    // Consumer. The next batch, or nothing once the read has ended and every batch was taken. Raises
    // the producer's failure.
    std::unique_ptr<RowBatch> next();
    void recycle(std::unique_ptr<RowBatch> batch);
    void cancel();
    // Valid once the first batch has come.
    const std::vector<DataSet::Column>& columns() const { return columns_; }
    std::size_t rows() const { return rows_; }

  private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::unique_ptr<RowBatch>> full_;
    std::vector<std::unique_ptr<RowBatch>> empty_;
    std::size_t unmade_; // batches that may still be made
    std::vector<DataSet::Column> columns_;
    std::size_t rows_ = 0;
    bool finished_ = false;
    bool cancelled_ = false;
    std::exception_ptr failure_;
};

} // namespace orvanta::data
