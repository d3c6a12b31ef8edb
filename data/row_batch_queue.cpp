#include "data/row_batch_queue.h"

#include "data/error.h"

#include <cstring>

namespace orvanta::data {

void RowBatch::clear() {
    bytes_.clear();
    ends_.clear();
}

void RowBatch::append(std::span<const std::string_view> cells) {
    columns_ = cells.size();
    // Sized once per row and copied cell by cell: this runs for every value of a large read.
    std::size_t rowBytes = 0;
    for (const std::string_view cell : cells)
        rowBytes += cell.size();
    std::size_t end = bytes_.size();
    if (end + rowBytes > UINT32_MAX) throw Error("Could not retrieve data: a batch of rows is too large");
    bytes_.resize(end + rowBytes);
    const std::size_t firstEnd = ends_.size();
    ends_.resize(firstEnd + cells.size());
    char* out = bytes_.data();
    std::uint32_t* ends = ends_.data() + firstEnd;
    for (const std::string_view cell : cells) {
        if (!cell.empty()) std::memcpy(out + end, cell.data(), cell.size());
        end += cell.size();
        *ends++ = static_cast<std::uint32_t>(end);
    }
}

void RowBatch::cellsOf(std::size_t row, std::span<std::string_view> cells) const {
    const std::size_t first = row * columns_;
    std::size_t start = first == 0 ? 0 : ends_[first - 1];
    for (std::size_t i = 0; i < columns_ && i < cells.size(); ++i) {
        const std::size_t end = ends_[first + i];
        cells[i] = std::string_view(bytes_.data() + start, end - start);
        start = end;
    }
}

RowBatchQueue::RowBatchQueue(std::size_t batchesInFlight) : unmade_(batchesInFlight) {}

void RowBatchQueue::start(std::vector<DataSet::Column> columns) {
    std::lock_guard lock(mutex_);
    columns_ = std::move(columns);
}

std::unique_ptr<RowBatch> RowBatchQueue::emptyBatch() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return cancelled_ || !empty_.empty() || unmade_ > 0; });
    if (cancelled_) throw Cancelled();
    if (!empty_.empty()) {
        auto batch = std::move(empty_.back());
        empty_.pop_back();
        batch->clear();
        return batch;
    }
    --unmade_;
    return std::make_unique<RowBatch>();
}

void RowBatchQueue::push(std::unique_ptr<RowBatch> batch) {
    {
        std::lock_guard lock(mutex_);
        if (cancelled_) throw Cancelled();
        full_.push_back(std::move(batch));
    }
    changed_.notify_all();
}

void RowBatchQueue::snapshotHeld() {
    {
        std::lock_guard lock(mutex_);
        snapshotHeld_ = true;
    }
    changed_.notify_all();
}

void RowBatchQueue::deliverPlaces(std::vector<std::size_t> places) {
    {
        std::lock_guard lock(mutex_);
        places_ = std::move(places);
    }
    changed_.notify_all();
}

bool RowBatchQueue::consumerHasPlaces() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return cancelled_ || secondRead_ != SecondRead::kNotEnded; });
    if (cancelled_) throw Cancelled();
    return secondRead_ == SecondRead::kHasPlaces;
}

void RowBatchQueue::finish(std::exception_ptr failure) {
    {
        std::lock_guard lock(mutex_);
        finished_ = true;
        failure_ = failure;
    }
    changed_.notify_all();
}

void RowBatchQueue::raiseFailure() {
    if (failure_) std::rethrow_exception(failure_);
    // Ended without places or rows: the producer stopped because the consumer gave up.
    throw Error("Could not retrieve data: the read ended early");
}

std::optional<std::vector<std::size_t>> RowBatchQueue::placesOrSnapshot() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return places_ || snapshotHeld_ || finished_; });
    if (places_) return std::move(places_);
    if (snapshotHeld_) return std::nullopt;
    raiseFailure();
}

void RowBatchQueue::secondReadEnded(bool consumerHasPlaces) {
    {
        std::lock_guard lock(mutex_);
        secondRead_ = consumerHasPlaces ? SecondRead::kHasPlaces : SecondRead::kFailed;
    }
    changed_.notify_all();
}

std::vector<std::size_t> RowBatchQueue::deliveredPlaces() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return places_ || finished_; });
    if (places_) return std::move(*places_);
    raiseFailure();
}

std::unique_ptr<RowBatch> RowBatchQueue::next() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return !full_.empty() || finished_; });
    // A failure is raised at once: rows before it make no whole result.
    if (failure_) std::rethrow_exception(failure_);
    if (full_.empty()) return nullptr;
    auto batch = std::move(full_.front());
    full_.pop_front();
    return batch;
}

void RowBatchQueue::recycle(std::unique_ptr<RowBatch> batch) {
    {
        std::lock_guard lock(mutex_);
        empty_.push_back(std::move(batch));
    }
    changed_.notify_all();
}

void RowBatchQueue::cancel() {
    {
        std::lock_guard lock(mutex_);
        cancelled_ = true;
    }
    changed_.notify_all();
}

} // namespace orvanta::data
