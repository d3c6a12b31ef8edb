#include "data/sqlite_connection.h"
#include "data/task_database_template.h"
#include "data/task_statements.h"
#include "data/task_store.h"
#include "platform/fake/fake_clock.h"
#include "tests/support/temp_folder.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace orvanta::data {
namespace {

TEST(TemplateDatabase, SeedingWritesTheTemplateBytesOnlyWhenMissing) {
    test::TempFolder folder;
    const std::string path = folder.file("task.db");
    EXPECT_TRUE(SeedTaskDatabase(path));
    const auto bytes = TaskDatabaseTemplate();
    EXPECT_EQ(test::ReadFileBytes(path), std::string(bytes.begin(), bytes.end()));

    test::WriteFileBytes(path, "not a database, but the user's file");
    EXPECT_FALSE(SeedTaskDatabase(path));
    EXPECT_EQ(test::ReadFileBytes(path), "not a database, but the user's file");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 1);
}

TEST(TemplateDatabase, HoldsTheTableAndTheSevenDisabledHotkeys) {
    test::TempFolder folder;
    const std::string path = folder.file("task.db");
    SeedTaskDatabase(path);
    {
        SqliteConnection db(path);
        EXPECT_EQ(db.query("PRAGMA page_size;").fieldAsText("page_size"), "4096");
        EXPECT_EQ(db.query("PRAGMA encoding;").fieldAsText("encoding"), "UTF-8");
        EXPECT_EQ(db.query(sql::FindTableQuery()).fieldAsText("sql"), sql::TemplateCreateTableStatement());
    }
    platform::fake::FakeClock clock;
    TaskStore store(path, clock);
    EXPECT_EQ(store.ReadTimedTasks(false).rowCount(), 0u);
    DataSet rows = store.ReadHotkeyTasks();
    ASSERT_EQ(rows.rowCount(), 7u);
    struct Expected {
        const char* title;
        int key, event;
        const char* time;
    } expected[] = {{"Lock session", 49, 4, "20:22:00"},  {"Log off", 50, 7, "20:23:00"},
                    {"Close monitor", 51, 8, "20:23:00"}, {"Sleep", 52, 5, "20:23:00"},
                    {"Hibernate", 53, 6, "20:24:00"},     {"Reboot", 54, 2, "20:24:00"},
                    {"Power off", 55, 3, "20:26:00"}};
    std::int64_t previousLast = 0;
    for (int i = 0; i < 7; ++i, rows.next()) {
        const TaskRecord t = ReadTaskRecord(rows);
        SCOPED_TRACE(t.title);
        EXPECT_EQ(t.id, i + 1); // ordered by Last, which follows the IDs
        EXPECT_EQ(t.title, expected[i].title);
        EXPECT_EQ(t.hotkey2, expected[i].key);
        EXPECT_EQ(t.event, expected[i].event);
        EXPECT_EQ(t.time, expected[i].time);
        EXPECT_EQ(t.enabled, 0);
        EXPECT_EQ(t.dateMode, 0);
        EXPECT_EQ(t.hotkey1, 0);
        EXPECT_EQ(t.year * 10000 + t.month * 100 + t.day, 20210119);
        EXPECT_EQ(t.sun + t.sat, 0);
        EXPECT_EQ(t.mon + t.tue + t.wed + t.thu + t.fri, 5);
        EXPECT_EQ(t.endTime, "23:59:59");
        EXPECT_EQ(t.loop + t.hkLoop + t.countdown, 0);
        EXPECT_EQ(t.macro + t.launch + t.terminate + t.openFile + t.openUrl + t.message, "");
        // Evening of 19 January 2021 in the DOS packing: date bits 0x5233, hour 18 or later.
        const std::int64_t last = std::stoll(t.last);
        EXPECT_EQ(last >> 16, 0x5233);
        EXPECT_GE((last >> 11) & 0x1F, 18);
        EXPECT_GT(last, previousLast);
        previousLast = last;
    }
}

} // namespace
} // namespace orvanta::data
