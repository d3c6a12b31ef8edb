#include "data/error.h"
#include "data/sqlite_connection.h"
#include "data/task_store.h"
#include "platform/fake/fake_clock.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

namespace orvanta::data {
namespace {

std::string MessageOf(const std::function<void()>& fn) {
    try {
        fn();
    } catch (const Error& e) {
        return e.what();
    }
    return "(no error)";
}

class StoreErrorsTest : public ::testing::Test {
  protected:
    test::TempFolder folder;
    platform::fake::FakeClock clock;
};

TEST_F(StoreErrorsTest, AFileThatIsNotADatabase) {
    const std::string path = folder.file("task.db");
    test::WriteFileBytes(path, std::string(4096, 'x'));
    TaskStore store(path, clock);
    EXPECT_EQ(
        MessageOf([&] { store.EnsureTaskTable(); }),
        "Error executing SQL.\rError [26]: File opened that is not a database file.\r\"select [sql] from "
        "sqlite_master where [type] = 'table' and lower(name) = 'tasklist' \": file is not a database");
    EXPECT_EQ(test::ReadFileBytes(path), std::string(4096, 'x'));
}

TEST_F(StoreErrorsTest, AFolderThatCannotHoldTheFile) {
    const std::string path = folder.file("no/such/folder/task.db");
    TaskStore store(path, clock);
    EXPECT_EQ(MessageOf([&] { store.ReadHotkeyTasks(); }),
              "Failed to open database \"" + path + "\" : unable to open database file");
}

TEST_F(StoreErrorsTest, AFileLockedByAnotherConnection) {
    const std::string path = folder.file("task.db");
    TaskStore store(path, clock);
    store.EnsureTaskTable();
    SqliteConnection other(path);
    other.execute("BEGIN EXCLUSIVE;");
    other.execute("DELETE FROM tasklist;");
    const std::string message = MessageOf([&] { store.SetTaskEnabled("1", true); });
    EXPECT_EQ(message.rfind("Error executing SQL", 0), 0u) << message;
    EXPECT_NE(message.find("Error [5]: The database file is locked."), std::string::npos) << message;
    EXPECT_EQ(MessageOf([&] { store.ReadTimedTasks(false); }).rfind("Error executing SQL.\rError [5]", 0),
              0u);
    other.execute("ROLLBACK;");
    EXPECT_EQ(MessageOf([&] { store.SetTaskEnabled("1", true); }), "(no error)");
}

TEST_F(StoreErrorsTest, BadStatementsAndEmptyText) {
    SqliteConnection db(folder.file("x.db"));
    EXPECT_EQ(
        MessageOf([&] { db.execute("SELEC 1;"); }),
        "Error executing SQL.\rError [1]: SQL error or missing database.\r\"SELEC 1;\": near \"SELEC\": "
        "syntax error");
    EXPECT_EQ(MessageOf([&] { db.execute("  ; "); }), "Could not prepare SQL statement");
    db.execute("CREATE TABLE t (a INTEGER UNIQUE);");
    db.execute("INSERT INTO t VALUES (1);");
    EXPECT_EQ(
        MessageOf([&] { db.execute("INSERT INTO t VALUES (1);"); }),
        "Error executing SQL statement.\rError [19]: Abort due to contraint violation.\r\"INSERT INTO t "
        "VALUES (1);\": UNIQUE constraint failed: t.a");
}

TEST_F(StoreErrorsTest, FieldAccessErrors) {
    SqliteConnection db(folder.file("x.db"));
    db.execute("CREATE TABLE t (n INTEGER, s VARCHAR (10), r REAL, b BLOB);");
    DataSet empty = db.query("SELECT * FROM t;");
    EXPECT_EQ(MessageOf([&] { empty.fieldAsText("n"); }), "Field n Not found. Empty dataset");

    db.execute("INSERT INTO t VALUES (-7, '12', 2.75, x'00FF');");
    DataSet rows = db.query("SELECT * FROM t;");
    EXPECT_EQ(rows.fieldAsText("N"), "-7");
    EXPECT_EQ(rows.fieldAsInt64("r"), 2);
    EXPECT_EQ(rows.fieldAsText("b"), std::string("\x00\xff", 2));
    EXPECT_EQ(MessageOf([&] { rows.fieldAsText("missing"); }), "Field not found in dataset: missing");
    EXPECT_EQ(MessageOf([&] { rows.fieldAsInt64("s"); }), "Not an integer or numeric field");
    EXPECT_EQ(MessageOf([&] { rows.fieldAsInt64("b"); }), "Not an integer or numeric field");
    rows.next();
    EXPECT_EQ(MessageOf([&] { rows.fieldAsText("n"); }), "Table is at End of File");
}

TEST(ResultCodes, DescriptionsAndDetail) {
    EXPECT_EQ(ResultCodeDescription(0), "Successful result");
    EXPECT_EQ(ResultCodeDescription(26), "File opened that is not a database file");
    EXPECT_EQ(ResultCodeDescription(100), "sqlite3_step() has another row ready");
    EXPECT_EQ(ResultCodeDescription(101), "sqlite3_step() has finished executing");
    EXPECT_EQ(ResultCodeDescription(27), "Unknown SQLite Error Code \"27\"");
    EXPECT_EQ(ErrorDetail(0, "x", "y"), "");
    EXPECT_EQ(ErrorDetail(5, "S;", "m"), ".\rError [5]: The database file is locked.\r\"S;\": m");
}

} // namespace
} // namespace orvanta::data
