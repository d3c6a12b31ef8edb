#include "data/error.h"
#include "data/sqlite_connection.h"
#include "platform/fake/fake_clock.h"
#include "scheduler/run_table_rebuilder.h"
#include "task_rows.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>

namespace orvanta::scheduler {
namespace {

using testing::Task;

class RebuildRunTableTest : public testing::TaskFolderTest {
  protected:
    platform::fake::FakeClock clock_{{2025, 3, 5, 12, 0, 0, 0}};
    i18n::EnglishTextLookup english_;
};

std::vector<std::string> Ids(const DisplayRows& rows) {
    std::vector<std::string> ids;
    for (const auto row : rows)
        ids.emplace_back(row[kDispId]);
    return ids;
}

TEST_F(RebuildRunTableTest, ReadsTimedTasksFromTheStoreAndRunsTheAfterStep) {
    const data::TaskStore store(DatabasePath(), clock_);
    std::vector<std::vector<std::string>> armed;
    RunTableRebuilder rebuilder(store, clock_, english_, [&](const RunTableBuild& build) {
        armed.push_back(Ids(*build.table.displayRows));
    });

    // The file does not exist yet: the rebuild creates the table and finds nothing.
    EXPECT_EQ(rebuilder.RebuildRunTable({}, "").table.taskRowCount, 0u);
    EXPECT_EQ(armed, (std::vector<std::vector<std::string>>{{""}}));

    clock_.set({2025, 3, 5, 11, 0, 0, 0});
    const std::string later = store.InsertTask(Task(0, data::kDaily, "13:00:00", "later save"));
    clock_.set({2025, 3, 5, 10, 0, 0, 0});
    const std::string earlier = store.InsertTask(Task(0, data::kDaily, "13:00:00", "earlier save"));
    const std::string disabled = store.InsertTask(Task(0, data::kDaily, "9:00:00"));
    store.SetTaskEnabled(disabled, false);
    const std::string damaged = store.InsertTask(Task(0, data::kDaily, "9:00:00"));
    data::SqliteConnection(DatabasePath())
        .execute("UPDATE tasklist SET Title=\"4G\" where id=" + damaged + "; ");
    store.InsertTask(Task(0, data::kHotkey, "9:00:00"));

    clock_.set({2025, 3, 5, 12, 0, 0, 0});
    const RunTableBuild& all = rebuilder.RebuildRunTable({}, "");
    EXPECT_EQ(Ids(*all.table.displayRows), (std::vector<std::string>{earlier, later, disabled}));
    EXPECT_EQ((*all.table.displayRows)[0][kDispDueKey], "2025-3-5-13-0-0");
    ASSERT_EQ(all.problems.size(), 1u);
    EXPECT_EQ(all.problems[0].taskId, damaged);
    EXPECT_EQ(all.hint, "Upcoming event: Daily - 13:00:00 - earlier save");

    const RunTableBuild& enabledOnly = rebuilder.RebuildRunTable({.hideDisabled = true}, "");
    EXPECT_EQ(enabledOnly.table.taskRowCount, 2u) << "disabled tasks are not even read";
    EXPECT_EQ(armed.size(), 3u);
    EXPECT_EQ(armed.back(), (std::vector<std::string>{earlier, later}));
    EXPECT_EQ(&rebuilder.current(), &enabledOnly);
}

TEST_F(RebuildRunTableTest, ADatabaseErrorLeavesTheNoneStateAndArmsNothing) {
    const data::TaskStore good(DatabasePath(), clock_);
    good.EnsureTaskTable();
    good.InsertTask(Task(0, data::kDaily, "13:00:00"));
    const data::TaskStore unreachable((dir_ / "missing" / "task.db").string(), clock_);
    int afterSteps = 0;
    auto count = [&](const RunTableBuild&) { ++afterSteps; };

    RunTableRebuilder rebuilder(unreachable, clock_, english_, count);
    EXPECT_THROW(rebuilder.RebuildRunTable({}, ""), Error);
    EXPECT_EQ(afterSteps, 0);
    EXPECT_EQ(rebuilder.current().table.taskRowCount, 0u);
    EXPECT_EQ(rebuilder.current().hint, "Upcoming event: None");
    ASSERT_EQ(rebuilder.current().table.displayRows->size(), 1u);
    EXPECT_EQ((*rebuilder.current().table.displayRows)[0][kDispText], "None");
    EXPECT_NE(rebuilder.current().readFailure, "") << "an unread file passed for an empty list";

    RunTableRebuilder working(good, clock_, english_, count);
    EXPECT_EQ(working.RebuildRunTable({}, "").table.taskRowCount, 1u);
    EXPECT_EQ(working.current().readFailure, "");
    EXPECT_EQ(afterSteps, 1);
}

std::vector<std::string> TaskIds(const RunTable& table) {
    std::vector<std::string> ids;
    for (const auto& row : table.taskRows)
        ids.emplace_back(row[kColId]);
    return ids;
}

// The rows are read in stored order and put at their place in save order: damaged rows in between leave
// no gap and no stale row of the table before, and their problems come in save order too.
TEST_F(RebuildRunTableTest, TaskRowsFollowTheSaveOrderWithDamagedRowsLeftOut) {
    const data::TaskStore store(DatabasePath(), clock_);
    store.EnsureTaskTable();
    // Saved at minutes 5, 1, 4, 2, 3: ID order and save order differ.
    std::vector<std::string> ids;
    for (const int minute : {5, 1, 4, 2, 3}) {
        clock_.set({2025, 3, 5, 10, minute, 0, 0});
        ids.push_back(store.InsertTask(Task(0, data::kDaily, "13:0" + std::to_string(minute) + ":00")));
    }
    clock_.set({2025, 3, 5, 12, 0, 0, 0});
    RunTableRebuilder rebuilder(store, clock_, english_, {});
    EXPECT_EQ(TaskIds(rebuilder.RebuildRunTable({}, "").table),
              (std::vector<std::string>{ids[1], ids[3], ids[4], ids[2], ids[0]}));

    // Damage the tasks saved third and fifth; the rebuild writes over the full table before it.
    data::SqliteConnection(DatabasePath())
        .execute("UPDATE tasklist SET Time=\"ZZ\" WHERE ID IN (" + ids[4] + "," + ids[0] + ");");
    const RunTableBuild& damaged = rebuilder.RebuildRunTable({}, "");
    EXPECT_EQ(TaskIds(damaged.table), (std::vector<std::string>{ids[1], ids[3], ids[2]}));
    EXPECT_EQ(damaged.table.taskRowCount, 3u);
    ASSERT_EQ(damaged.problems.size(), 2u);
    EXPECT_EQ(damaged.problems[0].taskId, ids[4]);
    EXPECT_EQ(damaged.problems[1].taskId, ids[0]);
    // Each kept row is whole: its own title and its own due time.
    for (const auto& row : damaged.table.taskRows) {
        const auto at = std::find(ids.begin(), ids.end(), row[kColId]) - ids.begin();
        const int minute = std::vector<int>{5, 1, 4, 2, 3}[static_cast<std::size_t>(at)];
        EXPECT_EQ(row[kColDueKey], "2025-3-5-13-" + std::to_string(minute) + "-0") << row[kColId];
    }
}

} // namespace
} // namespace orvanta::scheduler
