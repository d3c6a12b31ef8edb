// A rebuild writes the new table over the rows of the one it replaces. Whatever the earlier table held
// (more rows, longer texts, the dispatcher's marks, rows since hidden or damaged), the result must be the
// table a build from nothing makes of the same read; and the list made without keeping task rows must be
// that table's list.
#include "data/sqlite_connection.h"
#include "data/task_statements.h"
#include "platform/fake/fake_clock.h"
#include "scheduler/run_table_rebuilder.h"
#include "task_rows.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>
#include <random>

namespace orvanta::scheduler {
namespace {

using testing::Task;

data::TaskRecord RandomTask(std::mt19937& rng) {
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    data::TaskRecord t =
        Task(0, pick(1, 5), std::to_string(pick(0, 23)) + ":" + std::to_string(pick(10, 59)) + ":00");
    // Titles from empty to well past the length a string keeps without memory of its own.
    t.title =
        std::string(static_cast<std::size_t>(pick(0, 3) * pick(0, 20)), static_cast<char>('a' + pick(0, 25)));
    t.year = pick(2024, 2026);
    t.month = pick(1, 12);
    t.day = pick(1, 31);
    t.mon = pick(0, 1), t.thu = pick(0, 1), t.sat = pick(0, 1);
    t.loop = pick(0, 2) == 0 ? pick(1, 200) : 0;
    t.event = pick(0, 9);
    t.countdown = pick(0, 1) * pick(1, 100'000);
    t.launch = std::string(static_cast<std::size_t>(pick(0, 40)), 'x');
    return t;
}

void ExpectSameBuild(const RunTableBuild& actual, const RunTableBuild& expected, int round) {
    ASSERT_EQ(actual.table.taskRowCount, expected.table.taskRowCount) << "round " << round;
    ASSERT_EQ(actual.table.taskRows.size(), expected.table.taskRows.size()) << "round " << round;
    for (std::size_t i = 0; i < expected.table.taskRows.size(); ++i)
        ASSERT_EQ(actual.table.taskRows[i], expected.table.taskRows[i])
            << "round " << round << " task row " << i;
    ASSERT_EQ(*actual.table.displayRows, *expected.table.displayRows) << "round " << round;
    EXPECT_EQ(actual.hint, expected.hint) << "round " << round;
    ASSERT_EQ(actual.problems.size(), expected.problems.size()) << "round " << round;
    for (std::size_t i = 0; i < expected.problems.size(); ++i) {
        EXPECT_EQ(actual.problems[i].taskId, expected.problems[i].taskId) << "round " << round;
        EXPECT_EQ(actual.problems[i].problem, expected.problems[i].problem) << "round " << round;
    }
}

TEST(RebuildOverAnEarlierTable, MatchesABuildFromNothingRoundAfterRound) {
    test::TempFolder folder;
    platform::fake::FakeClock clock({2025, 3, 5, 12, 0, 0, 0});
    const data::TaskStore store(folder.file("task.db"), clock);
    const i18n::EnglishTextLookup english;
    RunTableRebuilder rebuilder(store, clock, english, nullptr);
    store.EnsureTaskTable();
    std::mt19937 rng(7);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    std::vector<std::string> ids;

    for (int round = 0; round < 40; ++round) {
        // The table grows, shrinks, changes and gets damaged rows between rebuilds; one transaction a
        // round keeps the test quick.
        data::SqliteConnection db(store.path());
        data::InTransaction(db, [&] {
            const int inserts = round % 10 == 5 ? 0 : pick(0, 25);
            for (int i = 0; i < inserts; ++i) {
                // Save times out of order, so that the read order is not the order of the IDs.
                db.execute(data::sql::InsertStatement(RandomTask(rng), pick(1, 1'000'000)));
                ids.push_back(db.query(data::sql::NewestIdQuery()).fieldAsText("ID"));
            }
            const int deletes = round % 10 == 5 ? static_cast<int>(ids.size()) * 2 / 3 : pick(0, 6);
            for (int i = 0; i < deletes && !ids.empty(); ++i) {
                const auto at = static_cast<std::size_t>(pick(0, static_cast<int>(ids.size()) - 1));
                db.execute(data::sql::DeleteStatement(ids[at]));
                ids.erase(ids.begin() + static_cast<std::ptrdiff_t>(at));
            }
            for (int i = 0; i < 4 && !ids.empty(); ++i) {
                const std::string& id =
                    ids[static_cast<std::size_t>(pick(0, static_cast<int>(ids.size()) - 1))];
                if (pick(0, 1) == 0)
                    db.execute(data::sql::UpdateStatement(id, RandomTask(rng), pick(1, 1'000'000)));
                else
                    db.execute(data::sql::SetEnabledStatement(id, pick(0, 1) == 1));
            }
            if (!ids.empty() && pick(0, 3) == 0)
                db.execute("UPDATE tasklist SET Time=\"zz\" WHERE id=" +
                           ids[static_cast<std::size_t>(pick(0, static_cast<int>(ids.size()) - 1))] + ";");
        });

        // The dispatcher marks what it ran in the table it was given.
        for (TaskRow& row : rebuilder.table().taskRows)
            if (pick(0, 2) == 0) row.Set(kColFired, "1");

        clock.set({2025, pick(1, 12), pick(1, 28), pick(0, 23), pick(0, 59), pick(0, 59), pick(0, 999)});
        RunTableFilters filters;
        filters.hidePassed = pick(0, 1) == 1;
        filters.hideDisabled = pick(0, 1) == 1;
        filters.hideLater = pick(0, 1) == 1;
        filters.hideDays = pick(0, 60);
        const std::string current =
            ids.empty() ? "" : ids[static_cast<std::size_t>(pick(0, static_cast<int>(ids.size()) - 1))];

        const RunTableBuild& rebuilt = rebuilder.RebuildRunTable(filters, current);
        const RunTableBuild fresh =
            BuildRunTable(store.ReadTimedTasks(filters.hideDisabled), clock.now(), filters, current, english);
        ExpectSameBuild(rebuilt, fresh, round);
        if (::testing::Test::HasFatalFailure()) return;

        // The list alone, made with one scratch task row, is the same list.
        RunTableBuild listed = ListRunTable(store, clock, english, filters, current);
        EXPECT_EQ(listed.table.taskRowCount, 0u);
        EXPECT_TRUE(listed.table.taskRows.empty());
        listed.table.taskRows = fresh.table.taskRows;
        listed.table.taskRowCount = fresh.table.taskRowCount;
        ExpectSameBuild(listed, fresh, round);
        if (::testing::Test::HasFatalFailure()) return;
    }
}

} // namespace
} // namespace orvanta::scheduler
