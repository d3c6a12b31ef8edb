#include "data/data_set.h"

#include "data/error.h"
#include "data/plain_text.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <stdexcept>

namespace orvanta::data {
namespace {

std::vector<DataSet::Column> WithUpperNames(std::vector<DataSet::Column> columns) {
    for (auto& c : columns)
        c.upperName = Upper(c.upperName);
    return columns;
}

std::size_t FindColumn(const std::vector<DataSet::Column>& columns, const std::string& name) {
    if (columns.empty()) throw Error("Field " + name + " Not found. Empty dataset");
    const std::string wanted = Upper(name);
    for (std::size_t i = 0; i < columns.size(); ++i)
        if (columns[i].upperName == wanted) return i;
    throw Error("Field not found in dataset: " + name);
}

} // namespace

DataSet::DataSet(std::vector<Column> columns) : columns_(WithUpperNames(std::move(columns))) {}

DataSet::DataSet(std::vector<Column> columns, std::vector<Row> rows) : DataSet(std::move(columns)) {
    std::vector<std::string_view> cells;
    for (const Row& row : rows) {
        cells.clear();
        for (const auto& value : row)
            cells.push_back(value ? std::string_view(*value) : std::string_view());
        appendRow(cells);
    }
}

DataSet::Block& DataSet::blockForRow(std::size_t textSize) {
    constexpr std::size_t kMaxBlockText = std::numeric_limits<std::uint32_t>::max();
    if (textSize > kMaxBlockText) throw std::length_error("DataSet row text beyond 4 GiB");
    if (blocks_.empty() || blocks_.back().rowCount == kRowsPerBlock ||
        blocks_.back().textSize + textSize > kMaxBlockText) {
        Block block;
        if (!blocks_.empty()) {
            // The rows of one result are alike, so a full block is a good measure of the next.
            const Block& full = blocks_.back();
            block.text.resize(full.textSize);
            block.cellEnds.reserve(full.cellEnds.size());
        }
        blocks_.push_back(std::move(block));
    }
    Block& block = blocks_.back();
    if (block.text.size() - block.textSize < textSize)
        block.text.resize(std::max(block.text.size() * 2, block.textSize + textSize + 4096));
    return block;
}

void DataSet::appendRow(std::span<const std::string_view> cells) {
    const std::size_t kept = std::min(cells.size(), columns_.size());
    std::size_t textSize = 0;
    for (std::size_t i = 0; i < kept; ++i)
        textSize += cells[i].size();
    Block& block = blockForRow(textSize);
    const std::size_t firstEnd = block.cellEnds.size();
    block.cellEnds.resize(firstEnd + columns_.size());
    std::uint32_t* ends = block.cellEnds.data() + firstEnd;
    char* const text = block.text.data();
    std::size_t end = block.textSize;
    for (std::size_t i = 0; i < kept; ++i) {
        // One-byte cells (flags, small codes) are common enough to be worth sparing the call.
        if (cells[i].size() == 1)
            text[end] = cells[i][0];
        else if (!cells[i].empty())
            std::memcpy(text + end, cells[i].data(), cells[i].size());
        end += cells[i].size();
        ends[i] = static_cast<std::uint32_t>(end);
    }
    for (std::size_t i = kept; i < columns_.size(); ++i)
        ends[i] = static_cast<std::uint32_t>(end);
    block.textSize = end;
    ++block.rowCount;
    ++rowCount_;
}

std::size_t DataSet::columnIndex(const std::string& name) const {
    return FindColumn(columns_, name);
}

std::string_view DataSet::cell(const std::string& name, std::size_t* index) const {
    *index = columnIndex(name);
    return textAt(*index);
}

void DataSet::throwAtEnd() {
    throw Error("Table is at End of File");
}

std::string DataSet::fieldAsText(const std::string& name) const {
    std::size_t index = 0;
    return std::string(cell(name, &index));
}

std::int64_t DataSet::fieldAsInt64(const std::string& name) const {
    std::size_t index = 0;
    // The C conversions need a terminated text; this path reads one value, not a whole result.
    const std::string value(cell(name, &index));
    switch (columns_[index].kind) {
    case ColumnKind::Integer:
        return std::strtoll(value.c_str(), nullptr, 10);
    case ColumnKind::Float:
        return static_cast<std::int64_t>(std::trunc(std::strtod(value.c_str(), nullptr)));
    default:
        throw Error("Not an integer or numeric field");
    }
}

ResultRow::ResultRow(std::vector<DataSet::Column> columns)
    : columns_(WithUpperNames(std::move(columns))), cells_(columns_.size()) {}

std::size_t ResultRow::columnIndex(const std::string& name) const {
    return FindColumn(columns_, name);
}

} // namespace orvanta::data
