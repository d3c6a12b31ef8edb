#include "scheduler/display_rows.h"

#include <limits>
#include <stdexcept>

namespace orvanta::scheduler {

const std::string_view DisplayRow::at(std::size_t column) const {
    if (column >= kDisplayColumnCount)
        throw std::out_of_range("display row column " + std::to_string(column));
    return (*this)[column];
}

std::array<std::string_view, kDisplayColumnCount> DisplayRow::Cells() const {
    std::array<std::string_view, kDisplayColumnCount> cells;
    for (std::size_t c = 0; c < kDisplayColumnCount; ++c)
        cells[c] = (*this)[c];
    return cells;
}

DisplayRows::DisplayRows(std::initializer_list<Cells> rows) {
    for (const Cells& cells : rows)
        Append(cells);
}

void DisplayRows::Clear() {
    text_.clear();
    places_.clear();
}

void DisplayRows::Reserve(std::size_t rows, std::size_t textBytes) {
    places_.reserve(rows);
    text_.reserve(textBytes);
}

DisplayRows::Place DisplayRows::Store(std::string_view value) {
    if (value.size() > std::numeric_limits<std::uint32_t>::max() - text_.size())
        throw std::length_error("display rows text too long");
    const Place place{static_cast<std::uint32_t>(text_.size()), static_cast<std::uint32_t>(value.size())};
    text_.append(value);
    return place;
}

void DisplayRows::Append(const Cells& cells) {
    // Growing the text would move the texts of these rows that the cells may point at.
    const char* data = text_.data();
    const auto ownText = [&](std::string_view v) {
        return v.data() >= data && v.data() < data + text_.size();
    };
    std::array<std::string, kDisplayColumnCount> copies;
    Cells stable = cells;
    for (std::size_t c = 0; c < kDisplayColumnCount; ++c)
        if (ownText(cells[c])) stable[c] = copies[c] = std::string(cells[c]);
    Places places;
    for (std::size_t c = 0; c < kDisplayColumnCount; ++c)
        places[c] = Store(stable[c]);
    places_.push_back(places);
}

void DisplayRows::Set(std::size_t row, std::size_t column, std::string_view value) {
    if (row >= places_.size() || column >= kDisplayColumnCount) throw std::out_of_range("display row cell");
    const char* data = text_.data();
    if (value.data() >= data && value.data() < data + text_.size()) {
        const std::string copy(value);
        places_[row][column] = Store(copy);
        return;
    }
    // The old text stays where it is until the rows are next cleared: a change is one line of a list
    // that a rebuild soon writes anew.
    places_[row][column] = Store(value);
}

bool DisplayRows::operator==(const DisplayRows& other) const {
    if (size() != other.size()) return false;
    for (std::size_t r = 0; r < size(); ++r)
        if ((*this)[r] != other[r]) return false;
    return true;
}

} // namespace orvanta::scheduler
