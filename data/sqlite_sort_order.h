#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "data/sqlite_connection.h"

namespace orvanta::data {

// Runs a query of one column and returns, for each of its rows in the order they came, the row's place
// when the rows are sorted by that column as SQLite's ORDER BY sorts a column of the BINARY collation:
// NULL first, then numbers by value, then texts byte by byte, then blobs byte by byte. Rows of equal
// value keep the order they came in.
//
// Sorting only the key here, and reading the full rows unsorted, spares SQLite from sorting whole
// records, which for a large table costs more than everything done with the rows afterwards.
std::vector<std::size_t> SortPlaces(SqliteConnection& db, const std::string& oneColumnQuery);

} // namespace orvanta::data
