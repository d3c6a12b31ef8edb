#include "data/dos_date_time.h"
#include "data/error.h"
#include "data/sqlite_connection.h"
#include "data/task_store.h"
#include "platform/fake/fake_clock.h"
#include "tests/support/temp_folder.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <random>
#include <stdexcept>

namespace orvanta::data {
namespace {

class TaskStoreTest : public ::testing::Test {
  protected:
    test::TempFolder folder;
    platform::fake::FakeClock clock{{2025, 3, 7, 9, 5, 0, 0}};
    std::string dbPath = folder.file("task.db");
    TaskStore store{dbPath, clock};

    void SetUp() override { store.EnsureTaskTable(); }

    static TaskRecord Timed(const std::string& title) {
        TaskRecord t;
        t.title = title;
        t.dateMode = kDaily;
        t.time = "7:05:00";
        t.endTime = "23:59:59";
        return t;
    }

    TaskRecord Load(const std::string& id) {
        DataSet all = store.readAllTasks();
        for (; !all.eof(); all.next())
            if (all.fieldAsText("ID") == id) return ReadTaskRecord(all);
        ADD_FAILURE() << "no task " << id;
        return {};
    }

    std::size_t Count() { return store.readAllTasks().rowCount(); }
};

TEST_F(TaskStoreTest, TextsThatLookLikeSqlRoundTripUnchanged) {
    TaskRecord t = Timed("He said \"hi\"; it's DROP TABLE tasklist; --");
    t.launch = "/usr/bin/prog | \"a b\" ; rm -rf ~";
    t.message = "Grüße, 日本語 ✓\r\nline two";
    t.openUrl = "https://example.org/?q='x'&y=\"z\"";
    t.macro = "";
    const std::string id = store.InsertTask(t);
    TaskRecord back = Load(id);
    EXPECT_EQ(back.title, t.title);
    EXPECT_EQ(back.launch, t.launch);
    EXPECT_EQ(back.message, t.message);
    EXPECT_EQ(back.openUrl, t.openUrl);
    EXPECT_EQ(back.macro, "");
    EXPECT_EQ(back.time, "7:05:00");
    EXPECT_EQ(back.last, std::to_string(DosDateTime(clock.now())));
    EXPECT_EQ(Count(), 1u);
}

TEST_F(TaskStoreTest, NullColumnsReadAsEmptyTextAndZero) {
    {
        SqliteConnection db(dbPath);
        db.execute("INSERT INTO tasklist (DateMode) VALUES (1);");
    }
    DataSet rows = store.ReadTimedTasks(false);
    ASSERT_EQ(rows.rowCount(), 1u);
    EXPECT_EQ(rows.fieldAsText("Title"), "");
    EXPECT_EQ(rows.fieldAsText("enabled"), ""); // lookup ignores letter case
    EXPECT_EQ(rows.fieldAsInt64("ENABLED"), 0);
    TaskRecord t = ReadTaskRecord(rows);
    EXPECT_EQ(t.title, "");
    EXPECT_EQ(t.countdown, 0);
}

TEST_F(TaskStoreTest, NewestIdIsReusedAfterDeletingIt) {
    const std::string a = store.InsertTask(Timed("a"));
    const std::string b = store.InsertTask(Timed("b"));
    EXPECT_EQ(std::stoi(b), std::stoi(a) + 1);
    store.DeleteTask(b);
    EXPECT_EQ(store.InsertTask(Timed("c")), b);
}

TEST_F(TaskStoreTest, ReadsSplitTimedFromHotkeyAndOrderByLastSave) {
    TaskRecord hk = Timed("hotkey");
    hk.dateMode = kHotkey;
    clock.set({2025, 3, 7, 9, 5, 10, 0});
    const std::string late = store.InsertTask(Timed("saved first"));
    clock.set({2025, 3, 7, 9, 5, 20, 0});
    const std::string other = store.InsertTask(Timed("saved second"));
    store.InsertTask(hk);
    TaskRecord disabled = Timed("off");
    disabled.enabled = 0;
    store.InsertTask(disabled);

    EXPECT_EQ(store.ReadTimedTasks(false).rowCount(), 3u);
    EXPECT_EQ(store.ReadTimedTasks(true).rowCount(), 2u);
    EXPECT_EQ(store.ReadHotkeyTasks().rowCount(), 1u);

    // A full update moves the task behind the others; the keep-order update does not.
    clock.set({2025, 3, 7, 9, 6, 0, 0});
    store.UpdateTaskKeepOrder(late, Load(late));
    EXPECT_EQ(store.ReadTimedTasks(true).fieldAsText("ID"), late);
    store.UpdateTask(late, Load(late));
    DataSet rows = store.ReadTimedTasks(true);
    EXPECT_EQ(rows.fieldAsText("ID"), other);
    rows.next();
    EXPECT_EQ(rows.fieldAsText("ID"), late);
}

TEST_F(TaskStoreTest, EnableDisableAndTheDeleteVariants) {
    const std::string t1 = store.InsertTask(Timed("t1"));
    const std::string t2 = store.InsertTask(Timed("t2"));
    TaskRecord hk = Timed("hk");
    hk.dateMode = kHotkey;
    const std::string h1 = store.InsertTask(hk);
    const std::string h2 = store.InsertTask(hk);

    store.SetTaskEnabled(t2, false);
    store.SetTaskEnabled(h2, false);
    EXPECT_EQ(Load(t2).enabled, 0);
    store.SetTaskEnabled(t2, true);
    EXPECT_EQ(Load(t2).enabled, 1);
    store.SetTaskEnabled(t2, false);

    store.DeleteDisabledTimedTasks();
    EXPECT_EQ(Count(), 3u);
    store.DeleteDisabledHotkeyTasks();
    EXPECT_EQ(Count(), 2u);
    store.DeleteAllTimedTasks();
    EXPECT_EQ(store.ReadTimedTasks(false).rowCount(), 0u);
    EXPECT_EQ(store.ReadHotkeyTasks().fieldAsText("ID"), h1);
    store.DeleteAllHotkeyTasks();
    EXPECT_EQ(Count(), 0u);
    (void)t1;
}

TEST_F(TaskStoreTest, PostponeAddsAOnceCopyAndLeavesTheOriginal) {
    TaskRecord t = Timed("Backup");
    t.dateMode = kWeekly;
    t.mon = 1;
    t.loop = 30;
    t.endTime = "18:00:00";
    t.countdown = 45;
    t.launch = "/bin/true | -x";
    const std::string id = store.InsertTask(t);
    clock.set({2025, 12, 31, 23, 58, 0, 0});
    store.PostponeTask(id, "Backup - 5 Minutes", 2026, 1, 1, "0:03:00");

    TaskRecord original = Load(id);
    EXPECT_EQ(original.title, "Backup");
    EXPECT_EQ(original.dateMode, kWeekly);
    TaskRecord copy = Load(std::to_string(std::stoi(id) + 1));
    EXPECT_EQ(copy.title, "Backup - 5 Minutes");
    EXPECT_EQ(copy.dateMode, kOnce);
    EXPECT_EQ(copy.year, 2026);
    EXPECT_EQ(copy.month, 1);
    EXPECT_EQ(copy.day, 1);
    EXPECT_EQ(copy.time, "0:03:00");
    EXPECT_EQ(copy.loop, 30);
    EXPECT_EQ(copy.endTime, "18:00:00");
    EXPECT_EQ(copy.countdown, 45);
    EXPECT_EQ(copy.launch, "/bin/true | -x");
    EXPECT_EQ(copy.last, std::to_string(DosDateTime(clock.now())));
}

TEST_F(TaskStoreTest, AFailedPostponeLeavesNoHalfCopy) {
    const std::string id = store.InsertTask(Timed("t"));
    {
        SqliteConnection db(dbPath);
        db.execute(
            "CREATE TRIGGER refuse BEFORE UPDATE ON tasklist BEGIN SELECT RAISE(ABORT, 'refused'); END;");
    }
    EXPECT_THROW(store.PostponeTask(id, "t - 5 Minutes", 2025, 3, 7, "9:10:00"), Error);
    EXPECT_EQ(Count(), 1u); // the duplicate went with the failed update
}

TEST_F(TaskStoreTest, AFailedInsertLeavesNothing) {
    {
        SqliteConnection db(dbPath);
        // Moves each new row into a side table, so the insert goes through but its read-back finds nothing.
        db.execute("CREATE TABLE side (ID INTEGER);");
        db.execute("CREATE TRIGGER move AFTER INSERT ON tasklist BEGIN INSERT INTO side VALUES (NEW.ID); "
                   "DELETE FROM tasklist WHERE ID = NEW.ID; END;");
    }
    EXPECT_THROW(store.InsertTask(Timed("t")), Error);
    SqliteConnection db(dbPath);
    EXPECT_EQ(db.query("SELECT * FROM side;").rowCount(), 0u); // the insert's effects were rolled back
}

TEST_F(TaskStoreTest, ADeletedDatabaseComesBackEmptyAtTheNextRebuild) {
    store.InsertTask(Timed("t"));
    std::filesystem::remove(dbPath);
    store.EnsureTaskTable();
    EXPECT_EQ(store.ReadTimedTasks(false).rowCount(), 0u);
    store.EnsureTaskTable(); // a second call finds the table and creates nothing
    EXPECT_EQ(store.InsertTask(Timed("again")), "1");
}

TEST_F(TaskStoreTest, CopyDatabaseReplacesTheDestinationWhole) {
    store.InsertTask(Timed("kept"));
    const std::string backup = folder.file("tasks.krlbak");
    CopyDatabase(dbPath, backup);
    EXPECT_TRUE(IsTaskDatabase(backup));

    store.DeleteAllTimedTasks();
    store.InsertTask(Timed("x"));
    store.InsertTask(Timed("y"));
    CopyDatabase(backup, dbPath);
    DataSet rows = store.readAllTasks();
    ASSERT_EQ(rows.rowCount(), 1u);
    EXPECT_EQ(ReadTaskRecord(rows).title, "kept");
}

TEST_F(TaskStoreTest, IsTaskDatabaseTellsTaskFilesFromOthers) {
    EXPECT_TRUE(IsTaskDatabase(dbPath));
    const std::string other = folder.file("other.db");
    {
        SqliteConnection db(other);
        db.execute("CREATE TABLE tasklist (ID INTEGER, Title TEXT);");
    }
    EXPECT_FALSE(IsTaskDatabase(other));
    const std::string text = folder.file("notes.txt");
    test::WriteFileBytes(text, "just some words, nothing more");
    EXPECT_FALSE(IsTaskDatabase(text));
    EXPECT_FALSE(IsTaskDatabase(folder.file("missing.db")));
    EXPECT_FALSE(std::filesystem::exists(folder.file("missing.db")));
}

TEST_F(TaskStoreTest, IdsThatAreNotNumbersNeverReachTheStatement) {
    store.InsertTask(Timed("t"));
    EXPECT_THROW(store.DeleteTask("1 or 1=1"), Error);
    EXPECT_THROW(store.SetTaskEnabled("", true), Error);
    EXPECT_EQ(Count(), 1u);
}

// The timed-task read handed over row by row: the same rows in the same order as the whole result, and
// a read that ends cleanly whichever side fails.
class TimedRowReadTest : public TaskStoreTest {
  protected:
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

TEST_F(TimedRowReadTest, ATableThatIsGoneIsMadeAgainBeforeTheRead) {
    Insert(1, 1);
    SqliteConnection(dbPath).execute("DROP TABLE tasklist;");
    EXPECT_TRUE(IdsAsHanded(false).empty());
    EXPECT_EQ(store.ReadTimedTasks(false).rowCount(), 0u);
    EXPECT_NO_THROW(Insert(1, 2));
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
