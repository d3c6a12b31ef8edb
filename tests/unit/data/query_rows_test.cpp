#include "data/data_set.h"
#include "data/error.h"
#include "data/sqlite_connection.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>
#include <stdexcept>
#include <string>
#include <vector>

namespace orvanta::data {
namespace {

// Every value of a result as the row-by-row read hands it over, copied out before the next row.
std::vector<std::vector<std::string>> Streamed(SqliteConnection& db, const std::string& sql,
                                               std::vector<DataSet::Column>* columns = nullptr) {
    std::vector<std::vector<std::string>> rows;
    db.queryRows(sql, [&](const ResultRow& row) {
        if (columns && rows.empty()) *columns = row.columns();
        std::vector<std::string>& copy = rows.emplace_back();
        for (const std::string_view cell : row.cells())
            copy.emplace_back(cell);
    });
    return rows;
}

std::vector<std::vector<std::string>> Held(DataSet rows) {
    std::vector<std::vector<std::string>> out;
    for (rows.first(); !rows.eof(); rows.next()) {
        std::vector<std::string>& copy = out.emplace_back();
        for (std::size_t i = 0; i < rows.columnCount(); ++i)
            copy.emplace_back(rows.textAt(i));
    }
    return out;
}

TEST(QueryRows, HandsOverTheValuesAHeldResultHolds) {
    test::TempFolder folder;
    SqliteConnection db(folder.file("x.db"));
    db.execute("CREATE TABLE t (i INTEGER, r REAL, b BLOB, s TEXT, u);");
    db.execute("INSERT INTO t VALUES (NULL, NULL, NULL, NULL, 12);");
    db.execute("INSERT INTO t VALUES (7, 2.75, x'00FF00', 'a' || char(0) || 'b', 'x');");
    db.execute("INSERT INTO t VALUES (-9223372036854775808, 0.1, x'', '', NULL);");
    InTransaction(db, [&] {
        // Texts long and short, so that a row's texts outlive the step that made them only when copied.
        for (int i = 0; i < 500; ++i)
            db.execute("INSERT INTO t VALUES (" + std::to_string(i) + ", " + std::to_string(i) +
                       ".5, x'41', '" + std::string(static_cast<std::size_t>(i % 97), 'q') + "', " +
                       std::to_string(-i) + ");");
    });
    const std::string sql = "SELECT * FROM t ORDER BY s, i;";
    std::vector<DataSet::Column> columns;
    const auto streamed = Streamed(db, sql, &columns);
    EXPECT_EQ(streamed, Held(db.query(sql)));
    ASSERT_EQ(streamed.size(), 503u);
    ASSERT_EQ(columns.size(), 5u);
    // Names are looked up as the held result looks them up, whatever their case.
    EXPECT_EQ(columns[4].kind, ColumnKind::Integer);
    db.queryRows(sql, [](const ResultRow& row) {
        EXPECT_EQ(row.columnIndex("S"), 3u);
        EXPECT_THROW(row.columnIndex("missing"), Error);
        EXPECT_EQ(row.textAt(99), ""); // beyond the last column
    });
}

TEST(QueryRows, TextOfADatabaseKeptInUtf16ComesAsUtf8) {
    test::TempFolder folder;
    SqliteConnection db(folder.file("x.db"));
    db.execute("PRAGMA encoding = 'UTF-16le';");
    db.execute("CREATE TABLE t (s TEXT, n INTEGER);");
    db.execute("INSERT INTO t VALUES ('h\xC3\xA9llo', 1);");
    const auto streamed = Streamed(db, "SELECT * FROM t;");
    ASSERT_EQ(streamed.size(), 1u);
    EXPECT_EQ(streamed[0], (std::vector<std::string>{"h\xC3\xA9llo", "1"}));
}

TEST(QueryRows, EmptyResultsAndFailures) {
    test::TempFolder folder;
    SqliteConnection db(folder.file("x.db"));
    db.execute("CREATE TABLE t (id INTEGER PRIMARY KEY, k INTEGER, v TEXT);");

    int calls = 0;
    db.queryRows("SELECT * FROM t ORDER BY k;", [&](const ResultRow&) { ++calls; });
    EXPECT_EQ(calls, 0);

    InTransaction(db, [&] {
        for (int i = 0; i < 1'000; ++i)
            db.execute("INSERT INTO t (k, v) VALUES (" + std::to_string(1'000 - i) + ", 'v');");
    });
    calls = 0;
    db.queryRows("SELECT * FROM t WHERE k > 400 ORDER BY k;", [&](const ResultRow&) { ++calls; });
    EXPECT_EQ(calls, 600);

    // A reader's failure ends the read and leaves no statement running: the connection can change the
    // table at once, which an unfinished statement would refuse.
    EXPECT_THROW(db.queryRows("SELECT * FROM t ORDER BY k;",
                              [](const ResultRow&) { throw std::runtime_error("reader failed"); }),
                 std::runtime_error);
    EXPECT_NO_THROW(db.execute("DROP TABLE t;"));

    try {
        db.queryRows("SELECT * FROM nowhere;", [&](const ResultRow&) { ++calls; });
        FAIL() << "a query of a missing table must raise";
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()).rfind("Error executing SQL", 0), 0u) << e.what();
    }
}

} // namespace
} // namespace orvanta::data
