// The refresh after the window's own writes against a whole read of the same file: random writes, saves
// in the same two seconds (equal Last), a clock set back, odd Last values another program left, filters
// and daylight-saving changes. Whatever the refresh takes from the rows it holds must come out as the
// whole read would give it.
#include "data/sqlite_connection.h"
#include "platform/fake/fake_zone_clock.h"
#include "scheduler/run_table_rebuilder.h"
#include "task_rows.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <random>
#include <sstream>

namespace orvanta::scheduler {
namespace {

namespace fs = std::filesystem;
using platform::fake::EuropeBerlin;
using platform::fake::FakeZoneClock;

// 2025-03-29 12:00 UTC: the day before Berlin's clocks go forward.
constexpr std::int64_t kStartUtcMs = 1'743'249'600'000;

class RefreshRunTableTest : public testing::TaskFolderTest {
  protected:
    FakeZoneClock clock_{EuropeBerlin(2024, 2027), kStartUtcMs};
    i18n::EnglishTextLookup english_;
};

std::string Describe(const RunTableBuild& build) {
    std::ostringstream out;
    out << "hint: " << build.hint << "\nproblems:";
    for (const auto& p : build.problems)
        out << " [" << p.taskId << ": " << p.problem << "]";
    out << "\ntask rows:\n";
    for (const TaskRow& row : build.table.taskRows) {
        for (std::size_t c = 0; c < kTaskColumnCount; ++c)
            out << row[c] << '|';
        out << '\n';
    }
    out << "display rows:\n";
    for (const DisplayRow row : *build.table.displayRows) {
        for (const auto cell : row.Cells())
            out << cell << '|';
        out << '\n';
    }
    return out.str();
}

// A task of a random kind, some disabled, some repeating, some that cannot be scheduled.
data::TaskRecord RandomTask(std::mt19937& rng) {
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    data::TaskRecord t = testing::Task(
        0, pick(1, 5), std::to_string(pick(0, 23)) + ":" + std::to_string(pick(0, 5) * 10) + ":00");
    t.title = "Task " + std::to_string(pick(1, 9));
    t.enabled = pick(0, 4) != 0;
    t.year = pick(2024, 2026);
    t.month = pick(1, 12);
    t.day = pick(1, 31);
    t.mon = pick(0, 1), t.thu = pick(0, 1), t.sun = pick(0, 1);
    if (pick(0, 3) == 0) t.loop = pick(1, 90);
    t.event = pick(0, 9);
    if (pick(0, 15) == 0) t.time = "25:00:00"; // left out as unschedulable
    return t;
}

// One run: the refresh and a whole read side by side after every few writes. Returns how many refreshes
// took in the written rows alone.
int RunSeed(const std::string& path, FakeZoneClock& clock, const i18n::TextLookup& text, unsigned seed) {
    std::mt19937 rng(seed);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    fs::remove(path);
    clock.setUtcMs(kStartUtcMs + static_cast<std::int64_t>(pick(0, 48)) * 3'600'000);
    const data::TaskStore store(path, clock);
    store.EnsureTaskTable();
    std::vector<std::string> ids;
    for (int i = pick(0, 25); i > 0; --i)
        ids.push_back(store.InsertTask(RandomTask(rng)));
    // Last values another program may have left: missing, equal, shorter, not digits at all.
    {
        data::SqliteConnection db(path);
        for (const std::string& id : ids) {
            const int kind = pick(0, 9);
            if (kind == 0) db.execute("UPDATE tasklist SET Last=NULL WHERE ID=" + id + ";");
            if (kind == 1) db.execute("UPDATE tasklist SET Last='9' WHERE ID=" + id + ";");
            if (kind == 2) db.execute("UPDATE tasklist SET Last='abc' WHERE ID=" + id + ";");
            if (kind == 3) db.execute("UPDATE tasklist SET Last=X'00' WHERE ID=" + id + ";");
        }
    }
    RunTableRebuilder refreshed(store, clock, text, nullptr);
    RunTableRebuilder whole(store, clock, text, nullptr);
    RunTableFilters filters;
    refreshed.RebuildRunTable(filters, "");
    int tookIn = 0;
    for (int step = 0; step < 30; ++step) {
        for (int writes = pick(1, 3); writes > 0; --writes) {
            // Often within the same two seconds, so saves share their Last; now and then set back.
            const int move = pick(0, 9);
            if (move == 0) clock.setUtcMs(clock.nowUtcMs() - 3'600'000);
            if (move >= 7)
                clock.setUtcMs(clock.nowUtcMs() + static_cast<std::int64_t>(pick(1, 600)) * 60'000);
            const std::string id =
                ids.empty() ? "1" : ids[static_cast<std::size_t>(pick(0, static_cast<int>(ids.size()) - 1))];
            switch (pick(0, 7)) {
            case 0:
            case 1:
                ids.push_back(store.InsertTask(RandomTask(rng)));
                break;
            case 2:
            case 3:
                store.UpdateTask(id, RandomTask(rng));
                break;
            case 4:
                store.UpdateTaskKeepOrder(id, RandomTask(rng));
                break;
            case 5:
                store.SetTaskEnabled(id, pick(0, 1) == 1);
                break;
            case 6:
                store.DeleteTask(id);
                break;
            default:
                if (pick(0, 3) == 0)
                    store.DeleteDisabledTimedTasks();
                else
                    store.InsertTask(testing::Task(0, data::kHotkey, "9:00:00"));
                break;
            }
            // Another program's write now and then, between the window's own, to any task.
            if (pick(0, 11) == 0 && !ids.empty()) {
                const std::string other =
                    ids[static_cast<std::size_t>(pick(0, static_cast<int>(ids.size()) - 1))];
                data::SqliteConnection(path).execute(
                    pick(0, 1) ? "UPDATE tasklist SET Title='41' WHERE ID=" + other + ";"
                               : "DELETE FROM tasklist WHERE ID=" + other + ";");
            }
        }
        if (pick(0, 5) == 0) filters.hideDisabled = !filters.hideDisabled;
        filters.hidePassed = pick(0, 1) == 1;
        filters.hideLater = pick(0, 1) == 1;
        filters.hideDays = pick(0, 3);
        const std::string current = ids.empty() || pick(0, 1) ? "" : ids.back();

        const RunTableBuild& got = refreshed.RefreshRunTable(filters, current);
        tookIn += refreshed.TookInOwnWritesOnly() ? 1 : 0;
        const RunTableBuild& want = whole.RebuildRunTable(filters, current);
        const std::string gotText = Describe(got);
        const std::string wantText = Describe(want);
        if (gotText != wantText) {
            ADD_FAILURE() << "seed " << seed << ", step " << step
                          << ": the refresh differs from a whole read\n"
                          << "refresh:\n"
                          << gotText << "whole read:\n"
                          << wantText;
            return tookIn;
        }
    }
    return tookIn;
}

TEST_F(RefreshRunTableTest, RandomOwnWritesComeOutAsAWholeReadWouldGiveThem) {
    // ORVANTA_REFRESH_SEEDS asks for more; a seed that once failed stays in the list below.
    const char* more = std::getenv("ORVANTA_REFRESH_SEEDS");
    const unsigned seeds = more ? static_cast<unsigned>(std::atoi(more)) : 40;
    int tookIn = 0;
    for (unsigned seed = 1; seed <= seeds && !HasFailure(); ++seed)
        tookIn += RunSeed(DatabasePath(), clock_, english_, seed);
    // Many refreshes must really have taken in the written rows alone, or this compared nothing new; the
    // others met a bulk write, another program's write, a row left out or a changed filter.
    EXPECT_GT(tookIn, static_cast<int>(seeds) * 30 / 4);
}

TEST_F(RefreshRunTableTest, SavesInTheSameTwoSecondsKeepTheirOrderOfIds) {
    const data::TaskStore store(DatabasePath(), clock_);
    store.EnsureTaskTable();
    RunTableRebuilder rebuilder(store, clock_, english_, nullptr);
    const std::string a = store.InsertTask(testing::Task(0, data::kDaily, "13:00:00", "a"));
    const std::string b = store.InsertTask(testing::Task(0, data::kDaily, "13:00:00", "b"));
    const std::string c = store.InsertTask(testing::Task(0, data::kDaily, "13:00:00", "c"));
    rebuilder.RebuildRunTable({}, "");
    // All three saved again at one moment: equal Last, so the read keeps the order of their IDs.
    store.UpdateTask(c, testing::Task(0, data::kDaily, "13:00:00", "c2"));
    store.UpdateTask(a, testing::Task(0, data::kDaily, "13:00:00", "a2"));
    store.UpdateTask(b, testing::Task(0, data::kDaily, "13:00:00", "b2"));
    const RunTableBuild& got = rebuilder.RefreshRunTable({}, "");
    EXPECT_TRUE(rebuilder.TookInOwnWritesOnly());
    std::vector<std::string> order;
    for (const TaskRow& row : got.table.taskRows)
        order.emplace_back(row[kColTitle]);
    EXPECT_EQ(order, (std::vector<std::string>{"a2", "b2", "c2"}));
}

TEST_F(RefreshRunTableTest, WhatTheHeldRowsCannotStandForIsReadWhole) {
    const data::TaskStore store(DatabasePath(), clock_);
    store.EnsureTaskTable();
    RunTableRebuilder rebuilder(store, clock_, english_, nullptr);
    const std::string a = store.InsertTask(testing::Task(0, data::kDaily, "13:00:00", "a"));
    const std::string b = store.InsertTask(testing::Task(0, data::kDaily, "14:00:00", "b"));

    // Nothing built yet: nothing is held.
    rebuilder.RefreshRunTable({}, "");
    EXPECT_FALSE(rebuilder.TookInOwnWritesOnly());

    // A write to many rows.
    store.SetTaskEnabled(a, false);
    store.DeleteDisabledTimedTasks();
    EXPECT_EQ(rebuilder.RefreshRunTable({}, "").table.taskRowCount, 1u);
    EXPECT_FALSE(rebuilder.TookInOwnWritesOnly());

    // Another program changed a task the window did not write: only a whole read sees it.
    store.UpdateTask(b, testing::Task(0, data::kDaily, "14:00:00", "b1"));
    data::SqliteConnection(DatabasePath()).execute("UPDATE tasklist SET Title='41' WHERE ID=" + b + ";");
    EXPECT_EQ(rebuilder.RefreshRunTable({}, "").table.taskRows[0][kColTitle], "A");
    EXPECT_FALSE(rebuilder.TookInOwnWritesOnly());

    // Another program removed the task the window has just saved: the whole read says what is there.
    store.UpdateTask(b, testing::Task(0, data::kDaily, "15:00:00", "b2"));
    data::SqliteConnection(DatabasePath()).execute("DELETE FROM tasklist WHERE ID=" + b + ";");
    const std::string c = store.InsertTask(testing::Task(0, data::kDaily, "16:00:00", "c"));
    EXPECT_EQ(rebuilder.RefreshRunTable({}, "").table.taskRowCount, 1u);
    EXPECT_EQ(rebuilder.current().table.taskRows[0][kColId], c);

    // A table that left a task out does not stand for the file either.
    store.UpdateTask(c, testing::Task(0, data::kDaily, "25:00:00", "c2"));
    EXPECT_EQ(rebuilder.RefreshRunTable({}, "").problems.size(), 1u);
    store.UpdateTask(c, testing::Task(0, data::kDaily, "16:00:00", "c3"));
    EXPECT_TRUE(rebuilder.RefreshRunTable({}, "").problems.empty());
    EXPECT_FALSE(rebuilder.TookInOwnWritesOnly());
    store.UpdateTask(c, testing::Task(0, data::kDaily, "17:00:00", "c4"));
    rebuilder.RefreshRunTable({}, "");
    EXPECT_TRUE(rebuilder.TookInOwnWritesOnly());

    // More writes than the store keeps track of.
    for (int i = 0; i < 70; ++i)
        store.SetTaskEnabled(c, i % 2 == 1);
    EXPECT_EQ(rebuilder.RefreshRunTable({}, "").table.taskRows[0][kColEnabled], "1");
    EXPECT_FALSE(rebuilder.TookInOwnWritesOnly());

    // The filter of disabled tasks decides which rows the read holds.
    store.SetTaskEnabled(c, false);
    EXPECT_EQ(rebuilder.RefreshRunTable({.hideDisabled = true}, "").table.taskRowCount, 0u);
    EXPECT_FALSE(rebuilder.TookInOwnWritesOnly());

    // A file in write-ahead-log mode keeps no change counter, so nothing can tell another program's write.
    data::SqliteConnection(DatabasePath()).query("PRAGMA journal_mode=WAL;");
    rebuilder.RebuildRunTable({}, "");
    store.SetTaskEnabled(c, true);
    EXPECT_EQ(rebuilder.RefreshRunTable({}, "").table.taskRows[0][kColEnabled], "1");
    EXPECT_FALSE(rebuilder.TookInOwnWritesOnly());
}

} // namespace
} // namespace orvanta::scheduler

namespace orvanta::scheduler {
namespace {

// What another program can leave in the file that the window's own writes do not tell of.
TEST_F(RefreshRunTableTest, AnotherProgramsHandInTheFileIsAlwaysReadWhole) {
    const data::TaskStore store(DatabasePath(), clock_);
    store.EnsureTaskTable();
    RunTableRebuilder refreshed(store, clock_, english_, nullptr);
    RunTableRebuilder whole(store, clock_, english_, nullptr);
    auto sameAsWholeRead = [&](const std::string& what) {
        const std::string got = Describe(refreshed.RefreshRunTable({}, ""));
        EXPECT_EQ(got, Describe(whole.RebuildRunTable({}, ""))) << what;
    };
    const std::string a = store.InsertTask(testing::Task(0, data::kDaily, "13:00:00", "a"));
    const std::string b = store.InsertTask(testing::Task(0, data::kDaily, "14:00:00", "b"));
    auto other = [&](const std::string& sql) { data::SqliteConnection(DatabasePath()).execute(sql); };

    // A write that changes nothing leaves the file as it was; one commit of another program after it must
    // not pass for that write.
    refreshed.RebuildRunTable({}, "");
    store.SetTaskEnabled(a, true);
    other("UPDATE tasklist SET Title='41' WHERE ID=" + b + ";");
    sameAsWholeRead("an outside commit after a write that changed nothing");
    store.SetTaskEnabled(a, false);
    sameAsWholeRead("a real write after the whole read");
    EXPECT_TRUE(refreshed.TookInOwnWritesOnly());
    // An ID with leading zeros names the same task.
    store.SetTaskEnabled("00" + a, true);
    sameAsWholeRead("a write through an ID with leading zeros");
    EXPECT_TRUE(refreshed.TookInOwnWritesOnly());

    // A trigger that adds a task whenever one is deleted.
    other("CREATE TRIGGER t AFTER DELETE ON tasklist BEGIN INSERT INTO tasklist (Enabled, Title, DateMode, "
          "Time, Last) VALUES (1, '5A', 1, '393A30303A3030', '1'); END;");
    refreshed.RebuildRunTable({}, "");
    store.DeleteTask(a);
    sameAsWholeRead("a trigger's task");
    EXPECT_FALSE(refreshed.TookInOwnWritesOnly());
    other("DROP TRIGGER t;");

    // An index that orders tasks saved at one moment against their IDs.
    other("CREATE INDEX l ON tasklist (Last DESC);");
    refreshed.RebuildRunTable({}, "");
    const std::string c = store.InsertTask(testing::Task(0, data::kDaily, "15:00:00", "c"));
    store.InsertTask(testing::Task(0, data::kDaily, "15:00:00", "d"));
    store.UpdateTask(c, testing::Task(0, data::kDaily, "15:00:00", "c2"));
    sameAsWholeRead("an index on Last");
    EXPECT_FALSE(refreshed.TookInOwnWritesOnly());
}

} // namespace
} // namespace orvanta::scheduler
