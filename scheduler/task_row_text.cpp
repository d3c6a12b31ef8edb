#include "scheduler/task_row_text.h"

#include <limits>
#include <stdexcept>
#include <utility>

namespace orvanta::scheduler {

const std::string_view TaskRow::at(std::size_t column) const {
    if (column >= kTaskColumnCount) throw std::out_of_range("task row column " + std::to_string(column));
    return (*this)[column];
}

void TaskRow::Set(std::size_t column, std::string_view value) {
    // A rebuild writes the computed columns of every row, mostly with what they already hold.
    if ((*this)[column] == value) return;
    const char* data = text_.data();
    if (value.data() >= data && value.data() < data + text_.size()) {
        // The replace below moves the text the view points into.
        const std::string copy(value);
        Set(column, copy);
        return;
    }
    const std::uint32_t begin = Begin(column);
    const std::uint32_t oldSize = ends_[column] - begin;
    if (value.size() > std::numeric_limits<std::uint32_t>::max() - (text_.size() - oldSize))
        throw std::length_error("task row text too long");
    text_.replace(begin, oldSize, value.data(), value.size());
    // Unsigned arithmetic wraps, so a shorter text moves the later ends back as well.
    const std::uint32_t shift = static_cast<std::uint32_t>(value.size()) - oldSize;
    for (std::size_t c = column; c < kTaskColumnCount; ++c)
        ends_[c] += shift;
}

const TaskRow* FindTaskRow(const std::vector<TaskRow>& rows, std::string_view id) {
    if (id.empty()) return nullptr;
    for (const TaskRow& row : rows)
        if (row[0] == id) return &row;
    return nullptr;
}

TaskRow* FindTaskRow(std::vector<TaskRow>& rows, std::string_view id) {
    return const_cast<TaskRow*>(FindTaskRow(std::as_const(rows), id));
}

TaskRowFiller::TaskRowFiller(TaskRow& row) : row_(row) {
    row_.text_.clear();
}

std::string& TaskRowFiller::Column(std::size_t column) {
    if (row_.text_.size() > std::numeric_limits<std::uint32_t>::max())
        throw std::length_error("task row text too long");
    EndColumnsBefore(column);
    return row_.text_;
}

void TaskRowFiller::EndColumnsBefore(std::size_t column) noexcept {
    const auto size = static_cast<std::uint32_t>(row_.text_.size());
    for (; open_ < column; ++open_)
        row_.ends_[open_] = size;
}

} // namespace orvanta::scheduler
