#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

namespace orvanta::scheduler {

inline constexpr std::size_t kDisplayColumnCount = 8;

class DisplayRows;

// One line of the scheduled-task list, read in place from the rows that hold it. Its texts are valid
// until those rows are next changed.
class DisplayRow {
  public:
    const std::string_view operator[](std::size_t column) const;
    // As operator[], raising std::out_of_range for a column beyond the last.
    const std::string_view at(std::size_t column) const;
    std::array<std::string_view, kDisplayColumnCount> Cells() const;
    // The same texts, column for column.
    bool operator==(const DisplayRow& other) const {
        for (std::size_t column = 0; column < kDisplayColumnCount; ++column)
            if ((*this)[column] != other[column]) return false;
        return true;
    }

  private:
    friend class DisplayRows;
    DisplayRow(const DisplayRows& rows, std::size_t index) : rows_(&rows), index_(index) {}

    const DisplayRows* rows_;
    std::size_t index_;
};

// The lines of the scheduled-task list: every text in one buffer, each cell a place in it, so tens of
// thousands of lines cost two allocations rather than eight a line, and one text can serve two cells.
class DisplayRows {
  public:
    using Cells = std::array<std::string_view, kDisplayColumnCount>;
    // Where a cell's text lies in text().
    struct Place {
        std::uint32_t offset = 0;
        std::uint32_t size = 0;
    };
    using Places = std::array<Place, kDisplayColumnCount>;

    class Iterator {
      public:
        using iterator_category = std::input_iterator_tag;
        using value_type = DisplayRow;
        using difference_type = std::ptrdiff_t;
        using pointer = void;
        using reference = DisplayRow;

        Iterator(const DisplayRows& rows, std::size_t index) : rows_(&rows), index_(index) {}
        DisplayRow operator*() const { return (*rows_)[index_]; }
        Iterator& operator++() {
            ++index_;
            return *this;
        }
        Iterator operator++(int) {
            Iterator before = *this;
            ++index_;
            return before;
        }
        bool operator==(const Iterator& other) const { return index_ == other.index_; }

      private:
        const DisplayRows* rows_;
        std::size_t index_;
    };

    DisplayRows() = default;
    DisplayRows(std::initializer_list<Cells> rows);

    std::size_t size() const { return places_.size(); }
    bool empty() const { return places_.empty(); }
    DisplayRow operator[](std::size_t row) const { return {*this, row}; }
    DisplayRow front() const { return {*this, 0}; }
    Iterator begin() const { return {*this, 0}; }
    Iterator end() const { return {*this, size()}; }

    // No rows; the memory stays for the next ones.
    void Clear();
    void Reserve(std::size_t rows, std::size_t textBytes);
    // The cells may be texts of these rows.
    void Append(const Cells& cells);
    void Set(std::size_t row, std::size_t column, std::string_view value);

    // For a writer that puts the texts down first and orders the rows after: append to text(), then
    // append rows whose cells are places in it.
    std::string& text() { return text_; }
    void AppendPlaced(const Places& places) { places_.push_back(places); }

    // The same rows, cell for cell, however their texts lie.
    bool operator==(const DisplayRows& other) const;

  private:
    friend class DisplayRow;

    std::string_view Cell(std::size_t row, std::size_t column) const {
        const Place p = places_[row][column];
        return {text_.data() + p.offset, p.size};
    }
    // Appends value to the text and returns its place.
    Place Store(std::string_view value);

    std::string text_;
    std::vector<Places> places_;
};

inline const std::string_view DisplayRow::operator[](std::size_t column) const {
    return rows_->Cell(index_, column);
}

} // namespace orvanta::scheduler
