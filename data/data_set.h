#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace orvanta::data {

enum class ColumnKind { Integer, Float, Text, Blob };

// A query result held wholly in memory, walked with a cursor. Values keep their text form; NULL stays
// distinguishable internally but reads as the empty text, or as 0 for a number.
class DataSet {
public:
    struct Column {
        std::string upperName; // for the case-insensitive lookup
        ColumnKind kind = ColumnKind::Text;
    };
    using Row = std::vector<std::optional<std::string>>;

    DataSet() = default;
    DataSet(std::vector<Column> columns, std::vector<Row> rows);

    std::size_t rowCount() const { return rows_.size(); }
    std::size_t columnCount() const { return columns_.size(); }
    const std::vector<Column>& columns() const { return columns_; }

    bool eof() const { return cursor_ >= rows_.size(); }
    void next() { if (cursor_ < rows_.size()) ++cursor_; }
    void first() { cursor_ = 0; }

    // Value of the named column in the current row. Raises the store's errors for an unknown
    // column, an empty result and a read past the last row.
    std::string fieldAsText(const std::string& name) const;
    // Integer and floating-point columns only (a float is truncated); NULL gives 0.
    std::int64_t fieldAsInt64(const std::string& name) const;

    std::size_t columnIndex(const std::string& name) const;
    // The current row's value in a column found once with columnIndex; for readers that walk many rows.
    const std::string& textAt(std::size_t column) const;

private:
    const std::optional<std::string>& cell(const std::string& name, std::size_t* index) const;

    std::vector<Column> columns_;
    std::vector<Row> rows_;
    std::size_t cursor_ = 0;
};

} // namespace orvanta::data
