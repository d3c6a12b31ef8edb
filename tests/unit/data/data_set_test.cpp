#include "data/data_set.h"
#include "data/error.h"
#include "data/sqlite_connection.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>
#include <string>

namespace orvanta::data {
namespace {

std::string CellText(int row, int column) {
    // Lengths vary from empty to a few hundred bytes, so rows differ in size.
    return std::string(static_cast<std::size_t>((row * 7 + column * 13) % 300),
                       static_cast<char>('a' + column));
}

TEST(DataSet, ManyRowsReadBackCellByCell) {
    const int rows = 2'500;
    DataSet set({{"a", ColumnKind::Text}, {"b", ColumnKind::Text}, {"c", ColumnKind::Integer}});
    for (int r = 0; r < rows; ++r) {
        const std::string a = CellText(r, 0), b = CellText(r, 1), c = std::to_string(r);
        const std::string_view cells[] = {a, b, c};
        set.appendRow(cells);
    }
    ASSERT_EQ(set.rowCount(), static_cast<std::size_t>(rows));

    // A copy holds its own texts: it reads the same once the original is gone.
    DataSet copy = set;
    set = DataSet();
    int r = 0;
    for (copy.first(); !copy.eof(); copy.next(), ++r) {
        ASSERT_EQ(copy.textAt(0), CellText(r, 0)) << "row " << r;
        ASSERT_EQ(copy.fieldAsText("B"), CellText(r, 1)) << "row " << r;
        ASSERT_EQ(copy.fieldAsInt64("c"), r);
    }
    EXPECT_EQ(r, rows);
    EXPECT_THROW(copy.textAt(0), Error);
    copy.first();
    EXPECT_EQ(copy.textAt(1), CellText(0, 1));
}

TEST(DataSet, NullMissingAndSurplusCells) {
    DataSet set({{"n", ColumnKind::Integer}, {"t", ColumnKind::Text}},
                {{std::nullopt, std::nullopt}, // NULL in both
                 {std::string("5")},           // the second cell missing
                 {std::string("6"), std::string(""), std::string("surplus")},
                 {std::string("7"), std::string("last")}});
    ASSERT_EQ(set.rowCount(), 4u);
    set.first();
    EXPECT_EQ(set.fieldAsText("n"), "");
    EXPECT_EQ(set.fieldAsInt64("n"), 0);
    EXPECT_EQ(set.fieldAsText("t"), "");
    set.next();
    EXPECT_EQ(set.fieldAsInt64("n"), 5);
    EXPECT_EQ(set.fieldAsText("t"), "");
    set.next();
    EXPECT_EQ(set.fieldAsText("t"), "");
    EXPECT_EQ(set.textAt(2), ""); // a cell beyond the columns is not kept
    set.next();
    // The rows before did not shift this one's cells.
    EXPECT_EQ(set.fieldAsInt64("n"), 7);
    EXPECT_EQ(set.fieldAsText("t"), "last");
}

TEST(DataSet, QueryResultsInEveryColumnKind) {
    test::TempFolder folder;
    SqliteConnection db(folder.file("x.db"));
    db.execute("CREATE TABLE t (i INTEGER, r REAL, b BLOB, s TEXT, u);");
    db.execute("INSERT INTO t VALUES (NULL, NULL, NULL, NULL, 12);");
    db.execute("INSERT INTO t VALUES (7, 2.75, x'00FF00', 'a' || char(0) || 'b', 'x');");
    db.execute("INSERT INTO t VALUES (-9223372036854775808, 0.1, x'', '', NULL);");
    db.execute("INSERT INTO t VALUES (10, -3.0, x'41', 'tail', 3.5);");
    DataSet rows = db.query("SELECT * FROM t;");
    struct Expected {
        const char *i, *r;
        std::string b, s;
        const char* u;
    } expected[] = {
        {"", "", "", "", "12"},
        {"7", "2.75", std::string("\0\xff\0", 3), std::string("a\0b", 3), "0"},
        {"-9223372036854775808", "0.10000000000000001", "", "", ""},
        {"10", "-3", "A", "tail", "3"},
    };
    // A column without a declared type takes the kind of its first value, here an integer.
    EXPECT_EQ(rows.columns()[4].kind, ColumnKind::Integer);
    std::size_t n = 0;
    for (rows.first(); !rows.eof(); rows.next(), ++n) {
        ASSERT_LT(n, std::size(expected));
        const Expected& e = expected[n];
        EXPECT_EQ(rows.fieldAsText("i"), e.i) << "row " << n;
        EXPECT_EQ(rows.fieldAsText("r"), e.r) << "row " << n;
        EXPECT_EQ(rows.fieldAsText("b"), e.b) << "row " << n;
        EXPECT_EQ(rows.fieldAsText("s"), e.s) << "row " << n;
        EXPECT_EQ(rows.fieldAsText("u"), e.u) << "row " << n;
    }
    EXPECT_EQ(n, std::size(expected));
}

TEST(DataSet, ALargeQueryKeepsItsOrderAndValues) {
    test::TempFolder folder;
    SqliteConnection db(folder.file("x.db"));
    db.execute("CREATE TABLE t (id INTEGER, name VARCHAR (255), k VARCHAR (255));");
    InTransaction(db, [&] {
        for (int i = 0; i < 3'000; ++i)
            db.execute("INSERT INTO t VALUES (" + std::to_string(i) + ", '" + CellText(i, 1) + "', '" +
                       std::to_string(3'000 - i) + "');");
    });
    DataSet rows = db.query("SELECT * FROM t ORDER BY CAST(k AS INTEGER);");
    ASSERT_EQ(rows.rowCount(), 3'000u);
    const std::size_t id = rows.columnIndex("ID");
    const std::size_t name = rows.columnIndex("name");
    int expectedId = 2'999;
    for (rows.first(); !rows.eof(); rows.next(), --expectedId) {
        ASSERT_EQ(rows.textAt(id), std::to_string(expectedId));
        ASSERT_EQ(rows.textAt(name), CellText(expectedId, 1));
    }
}

} // namespace
} // namespace orvanta::data
