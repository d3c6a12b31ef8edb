#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace orvanta::data {

enum class ColumnKind { Integer, Float, Text, Blob };

// A query result held wholly in memory, walked with a cursor. Values keep their text form; NULL reads
// as the empty text, or as 0 for a number.
class DataSet {
  public:
    struct Column {
        std::string upperName; // for the case-insensitive lookup
        ColumnKind kind = ColumnKind::Text;
    };
    // One row given cell by cell, for results put together by hand; a missing cell or a NULL reads as
    // the empty text.
    using Row = std::vector<std::optional<std::string>>;

    DataSet() = default;
    // A result with these columns and no rows yet; the rows follow through appendRow.
    explicit DataSet(std::vector<Column> columns);
    DataSet(std::vector<Column> columns, std::vector<Row> rows);

    // Adds a row of cell texts in column order. The texts are copied; missing cells read as empty, and
    // cells beyond the last column are not kept, as no name can find them.
    void appendRow(std::span<const std::string_view> cells);

    std::size_t rowCount() const { return rowCount_; }
    std::size_t columnCount() const { return columns_.size(); }
    const std::vector<Column>& columns() const { return columns_; }

    bool eof() const { return cursor_ >= rowCount_; }
    void next() {
        if (cursor_ >= rowCount_) return;
        ++cursor_;
        if (++cursorRowInBlock_ == blocks_[cursorBlock_].rowCount) {
            ++cursorBlock_;
            cursorRowInBlock_ = 0;
        }
    }
    void first() { cursor_ = cursorBlock_ = cursorRowInBlock_ = 0; }

    // Value of the named column in the current row. Raises the store's errors for an unknown
    // column, an empty result and a read past the last row.
    std::string fieldAsText(const std::string& name) const;
    // Integer and floating-point columns only (a float is truncated); NULL gives 0.
    std::int64_t fieldAsInt64(const std::string& name) const;

    std::size_t columnIndex(const std::string& name) const;
    // The current row's value in a column found once with columnIndex; for readers that walk many rows.
    // The text stays valid as long as the result does.
    std::string_view textAt(std::size_t column) const {
        if (eof()) throwAtEnd();
        const Block& block = blocks_[cursorBlock_];
        const std::size_t i = cursorRowInBlock_ * columns_.size() + column;
        if (column >= columns_.size() || i + 1 >= block.cellEnds.size()) return {};
        return std::string_view(block.text.data() + block.cellEnds[i],
                                block.cellEnds[i + 1] - block.cellEnds[i]);
    }

  private:
    // A run of consecutive rows. Their cells' text lies back to back in one buffer, so that a result of
    // many rows costs a few allocations rather than one per cell. Blocks of a few hundred kilobytes come
    // from memory the process already holds, where one buffer of many megabytes would be fresh pages on
    // every list rebuild, and those cost more than copying the text.
    struct Block {
        std::vector<char> text; // the first textSize bytes are in use, the rest is room to grow
        std::size_t textSize = 0;
        // Cell k of the block (row * columnCount + column) spans [cellEnds[k], cellEnds[k + 1]) of text.
        // A block's text stays below 4 GiB, so 32 bits hold every end at half the memory.
        std::vector<std::uint32_t> cellEnds{0};
        std::size_t rowCount = 0;
    };
    static constexpr std::size_t kRowsPerBlock = 1024;

    [[noreturn]] static void throwAtEnd();
    std::string_view cell(const std::string& name, std::size_t* index) const;
    // The block the next row goes into, with room for textSize more bytes of text.
    Block& blockForRow(std::size_t textSize);

    std::vector<Column> columns_;
    std::vector<Block> blocks_;
    std::size_t rowCount_ = 0;
    std::size_t cursor_ = 0;
    std::size_t cursorBlock_ = 0;
    std::size_t cursorRowInBlock_ = 0;
};

// One row of a query result as the query is stepped, for readers that keep no copy of the result. The
// columns are those of the whole result; the cell texts are valid until the next row is read.
class ResultRow {
  public:
    explicit ResultRow(std::vector<DataSet::Column> columns);

    const std::vector<DataSet::Column>& columns() const { return columns_; }
    // Raises the store's error for a name no column has.
    std::size_t columnIndex(const std::string& name) const;
    std::string_view textAt(std::size_t column) const {
        return column < cells_.size() ? cells_[column] : std::string_view();
    }

    // One text per column, in column order; the reader that fills the row writes them.
    std::span<const std::string_view> cells() const { return cells_; }
    std::span<std::string_view> cells() { return cells_; }

  private:
    std::vector<DataSet::Column> columns_;
    std::vector<std::string_view> cells_;
};

} // namespace orvanta::data
