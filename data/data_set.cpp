#include "data/data_set.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>

#include "data/error.h"

namespace orvanta::data {
namespace {

std::string Upper(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::toupper(c); });
    return s;
}

const std::optional<std::string> kNull;
const std::string kEmpty;

} // namespace

DataSet::DataSet(std::vector<Column> columns, std::vector<Row> rows)
    : columns_(std::move(columns)), rows_(std::move(rows)) {
    for (auto& c : columns_) c.upperName = Upper(c.upperName);
}

std::size_t DataSet::columnIndex(const std::string& name) const {
    if (columns_.empty()) throw Error("Field " + name + " Not found. Empty dataset");
    const std::string wanted = Upper(name);
    for (std::size_t i = 0; i < columns_.size(); ++i)
        if (columns_[i].upperName == wanted) return i;
    throw Error("Field not found in dataset: " + name);
}

const std::optional<std::string>& DataSet::cell(const std::string& name, std::size_t* index) const {
    *index = columnIndex(name);
    if (eof()) throw Error("Table is at End of File");
    const Row& row = rows_[cursor_];
    return *index < row.size() ? row[*index] : kNull;
}

const std::string& DataSet::textAt(std::size_t column) const {
    if (eof()) throw Error("Table is at End of File");
    const Row& row = rows_[cursor_];
    return column < row.size() && row[column] ? *row[column] : kEmpty;
}

std::string DataSet::fieldAsText(const std::string& name) const {
    std::size_t index = 0;
    const auto& value = cell(name, &index);
    return value ? *value : std::string();
}

std::int64_t DataSet::fieldAsInt64(const std::string& name) const {
    std::size_t index = 0;
    const auto& value = cell(name, &index);
    switch (columns_[index].kind) {
    case ColumnKind::Integer:
        return value ? std::strtoll(value->c_str(), nullptr, 10) : 0;
    case ColumnKind::Float:
        return value ? static_cast<std::int64_t>(std::trunc(std::strtod(value->c_str(), nullptr))) : 0;
    default:
        throw Error("Not an integer or numeric field");
    }
}

} // namespace orvanta::data
