// The timed-task read handed over row by row: the same rows in the same order as the whole result, and
// a read that ends cleanly whichever side fails.
#include "data/error.h"
#include "data/sqlite_connection.h"
#include "data/task_store.h"
#include "platform/fake/fake_clock.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>
#include <random>
#include <stdexcept>

namespace orvanta::data {
namespace {

class TimedRowReadTest : public ::testing::Test {
  protected:
    test::TempFolder folder;
    platform::fake::FakeClock clock{{2025, 3, 7, 9, 5, 0, 0}};
    std::string dbPath = folder.file("task.db");
    TaskStore store{dbPath, clock};

    void SetUp() override { store.EnsureTaskTable(); }

    std::string Insert(int enabled, int second) {
        clock.set({2025, 3, 7, 9, 5, second, 0});
        TaskRecord t;
        t.enabled = enabled;
        t.title = "task saved at " + std::to_string(second);
        t.dateMode = kDaily;
        t.time = "7:05:00";
        t.endTime = "23:59:59";
        return store.InsertTask(t);
    }

    // IDs in the order the row-by-row read hands them over.
    std::vector<std::string> IdsAsHanded(bool hideDisabled) {
        std::vector<std::string> ids;
        store.ReadTimedTasks(
            hideDisabled, [&](const ResultRow& row) { ids.emplace_back(row.textAt(row.columnIndex("ID"))); });
        return ids;
    }

    std::vector<std::string> IdsInSqlOrder(bool hideDisabled) {
        std::vector<std::string> ids;
        for (DataSet rows = store.ReadTimedTasks(hideDisabled); !rows.eof(); rows.next())
            ids.push_back(rows.fieldAsText("ID"));
        return ids;
    }
};

TEST_F(TimedRowReadTest, RowsFollowTheLastSave) {
    // Saved out of ID order (every save time differs), some disabled.
    std::mt19937 rng(7);
    std::vector<int> seconds(700);
    for (std::size_t i = 0; i < seconds.size(); ++i)
        seconds[i] = static_cast<int>(i);
    std::shuffle(seconds.begin(), seconds.end(), rng);
    // DOS times count in two-second steps: spread the saves so that no two share one.
    for (std::size_t i = 0; i < seconds.size(); ++i) {
        clock.set({2025, 3, 7, 9 + seconds[i] / 1800, seconds[i] / 30 % 60, seconds[i] % 30 * 2, 0});
        TaskRecord t;
        t.enabled = i % 5 == 0 ? 0 : 1;
        t.title = "task " + std::to_string(i);
        t.dateMode = kWeekly;
        t.time = "7:05:00";
        store.InsertTask(t);
    }
    for (const bool hideDisabled : {false, true}) {
        const auto placed = IdsAsHanded(hideDisabled);
        EXPECT_EQ(placed, IdsInSqlOrder(hideDisabled)) << "hideDisabled " << hideDisabled;
        EXPECT_EQ(placed.size(), hideDisabled ? 560u : 700u);
    }
}

TEST_F(TimedRowReadTest, EqualSaveTimesKeepTheStoredOrder) {
    const std::string a = Insert(1, 10);
    const std::string b = Insert(1, 10);
    const std::string c = Insert(1, 4);
    EXPECT_EQ(IdsAsHanded(false), (std::vector<std::string>{c, a, b}));
}

TEST_F(TimedRowReadTest, AReaderThatFailsEndsTheReadAndLeavesTheFileFree) {
    for (int i = 0; i < 600; ++i)
        Insert(1, i % 60);
    int calls = 0;
    EXPECT_THROW(store.ReadTimedTasks(false,
                                      [&](const ResultRow&) {
                                          if (++calls == 300) throw std::runtime_error("reader failed");
                                      }),
                 std::runtime_error);
    EXPECT_EQ(calls, 300);
    // The read's lock is gone: the file can be written at once.
    EXPECT_NO_THROW(Insert(1, 1));
    EXPECT_EQ(IdsAsHanded(false).size(), 601u);
}

TEST_F(TimedRowReadTest, TheReadsOwnFailureReachesTheCaller) {
    Insert(1, 1);
    // A writer holding the file keeps the read from starting; its error is the store's usual one.
    SqliteConnection writer(dbPath);
    writer.execute("BEGIN EXCLUSIVE;");
    int calls = 0;
    try {
        store.ReadTimedTasks(false, [&](const ResultRow&) { ++calls; });
        ADD_FAILURE() << "a locked file must not read as empty";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("locked"), std::string::npos) << e.what();
    }
    EXPECT_EQ(calls, 0);
    writer.execute("ROLLBACK;");
    EXPECT_EQ(IdsAsHanded(false).size(), 1u);
}

TEST_F(TimedRowReadTest, AFileWithAWriteAheadLogReadsInTheSameOrder) {
    {
        SqliteConnection db(dbPath);
        ASSERT_EQ(db.query("PRAGMA journal_mode = wal;").textAt(0), "wal");
    }
    const std::string late = Insert(1, 20);
    const std::string early = Insert(1, 10);
    const std::string disabled = Insert(0, 4);
    EXPECT_EQ(IdsAsHanded(false), (std::vector<std::string>{disabled, early, late}));
    EXPECT_EQ(IdsAsHanded(true), (std::vector<std::string>{early, late}));
}

} // namespace
} // namespace orvanta::data
