#include "cli_runner.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sqlite3.h>

namespace orvanta::cli_test {
namespace {

void MakeOtherSqliteDatabase(const std::string& path) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(db, "CREATE TABLE notes (id INTEGER, text TEXT);", nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);
}

TEST(DatabaseFiles, MissingDatabaseIsSeededWithTheSevenTemplateHotkeys) {
    Sandbox box;
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"Lock session", "4 (lock)"}, {"Log off", "7 (logoff)"},      {"Close monitor", "8 (monitoroff)"},
        {"Sleep", "5 (standby)"},     {"Hibernate", "6 (hibernate)"}, {"Reboot", "2 (restart)"},
        {"Power off", "3 (shutdown)"}};
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const CliResult shown = box.run({"show", std::to_string(i + 1)});
        ASSERT_EQ(shown.exitCode, 0) << shown.err;
        auto fields = ShowFields(shown.out);
        EXPECT_EQ(fields["Title"], expected[i].first);
        EXPECT_EQ(fields["Event"], expected[i].second);
        EXPECT_EQ(fields["DateMode"], "0 (hotkey)");
        EXPECT_EQ(fields["Enabled"], "0 (disabled)");
        EXPECT_EQ(fields["Hotkey2"], std::to_string(49 + i) + " (" + std::to_string(i + 1) + ")");
        EXPECT_EQ(fields["Last"].substr(fields["Last"].size() - 21, 12), "(2021-01-19 ");
    }
    EXPECT_EQ(box.run({"show", "8"}).exitCode, 1);
}

TEST(DatabaseFiles, AnExistingDatabaseIsNeverReplacedByTheTemplate) {
    Sandbox box;
    ASSERT_EQ(box.run({"delete", "1"}).exitCode, 0);
    const std::string before = FileBytes(box.database());
    EXPECT_EQ(box.run({"show", "1"}).exitCode, 1);
    EXPECT_EQ(FileBytes(box.database()), before);

    // Even a file that is no database stays as it is; the store's complaint is reported instead.
    WriteFile(box.database(), "not a database at all, but somebody's file");
    const CliResult r = box.run({"show", "2"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err.rfind("orvantactl: ", 0), 0u);
    EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;
    EXPECT_EQ(FileBytes(box.database()), "not a database at all, but somebody's file");
}

TEST(DatabaseFiles, DataFolderDefaultsToTheUsersDataHomeAndAChosenOneMustExist) {
    Sandbox box;
    ASSERT_EQ(box.runBare({"show", "1"}).exitCode, 0);
    EXPECT_NE(FileBytes(box.root() + "/xdg/Orvanta/task.db"), "<missing>");

    const CliResult r = box.runBare({"--data-dir", box.root() + "/nowhere", "show", "1"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_FALSE(std::filesystem::exists(box.root() + "/nowhere"));
}

TEST(DatabaseFiles, ExportThenImportRestoresEveryTask) {
    Sandbox box;
    const std::string backup = box.root() + "/tasks.krlbak";
    ASSERT_EQ(box.run({"add", "--trigger", "daily", "--title", "Grüße; \"x\"", "--message", "m"}).out, "8\n");
    const std::string shownAtExport = box.run({"show", "8"}).out;
    ASSERT_EQ(box.run({"export", backup}).exitCode, 0);

    ASSERT_EQ(box.run({"delete", "8"}).exitCode, 0);
    ASSERT_EQ(box.run({"delete", "2"}).exitCode, 0);
    ASSERT_EQ(box.run({"enable", "1"}).exitCode, 0);
    const CliResult imported = box.run({"import", backup});
    ASSERT_EQ(imported.exitCode, 0) << imported.err;
    EXPECT_EQ(box.run({"show", "8"}).out, shownAtExport);
    EXPECT_EQ(box.run({"show", "2"}).exitCode, 0);
    EXPECT_EQ(ShowFields(box.run({"show", "1"}).out)["Enabled"], "0 (disabled)");

    // A second export replaces the earlier backup, which is a task database, and an empty file.
    ASSERT_EQ(box.run({"delete", "3"}).exitCode, 0);
    ASSERT_EQ(box.run({"export", backup}).exitCode, 0);
    const std::string empty = box.root() + "/empty.krlbak";
    WriteFile(empty, "");
    ASSERT_EQ(box.run({"export", empty}).exitCode, 0);
    Sandbox other;
    ASSERT_EQ(other.run({"import", empty}).exitCode, 0);
    EXPECT_EQ(other.run({"show", "3"}).exitCode, 1);
    EXPECT_EQ(other.run({"show", "8"}).out, shownAtExport);
}

TEST(DatabaseFiles, ExportRefusesToOverwriteOtherFilesAndTheDatabaseItself) {
    Sandbox box;
    const std::string document = box.root() + "/letter.txt";
    WriteFile(document, "Dear support,");
    const std::string otherDb = box.root() + "/notes.db";
    MakeOtherSqliteDatabase(otherDb);
    const std::string otherBytes = FileBytes(otherDb);
    EXPECT_EQ(box.run({"export", document}).exitCode, 1);
    EXPECT_EQ(box.run({"export", otherDb}).exitCode, 1);
    EXPECT_EQ(box.run({"export", box.database()}).exitCode, 1);
    EXPECT_EQ(FileBytes(document), "Dear support,");
    EXPECT_EQ(FileBytes(otherDb), otherBytes);
    EXPECT_EQ(box.run({"show", "7"}).exitCode, 0);
}

TEST(DatabaseFiles, ImportRefusesAnythingButATaskDatabaseAndLeavesTasksAsTheyWere) {
    Sandbox box;
    ASSERT_EQ(box.run({"add", "--trigger", "daily", "--event", "lock"}).exitCode, 0);
    const std::string before = FileBytes(box.database());
    const std::string text = box.root() + "/tasks.krlbak";
    WriteFile(text, "ID;Title\n1;Lock\n");
    const std::string otherDb = box.root() + "/notes.db";
    MakeOtherSqliteDatabase(otherDb);
    for (const std::string& file : {text, otherDb, box.root() + "/missing.krlbak", box.root()}) {
        const CliResult r = box.run({"import", file});
        EXPECT_EQ(r.exitCode, 1) << file;
        EXPECT_NE(r.err.find("not a task database"), std::string::npos) << r.err;
    }
    EXPECT_EQ(FileBytes(box.database()), before);
}

TEST(DatabaseFiles, ImportRefusesABackupCarryingTriggersOrViews) {
    Sandbox box;
    const std::string backup = box.root() + "/tasks.krlbak";
    ASSERT_EQ(box.run({"export", backup}).exitCode, 0);
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(backup.c_str(), &db), SQLITE_OK);
    // Would bring back a task that starts a program each time the user deletes one.
    EXPECT_EQ(
        sqlite3_exec(db,
                     "CREATE TRIGGER back AFTER DELETE ON tasklist BEGIN INSERT INTO tasklist (Enabled, "
                     "Title, DateMode, Launch) VALUES (1, 'x', 1, 'y'); END;",
                     nullptr, nullptr, nullptr),
        SQLITE_OK);
    sqlite3_close(db);
    const std::string before = FileBytes(box.database());
    const CliResult r = box.run({"import", backup});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("trigger back"), std::string::npos) << r.err;
    EXPECT_EQ(FileBytes(box.database()), before);
}

TEST(DatabaseFiles, ImportRefusesABackupWhoseTaskTableCarriesConstraintsOfItsOwn) {
    Sandbox box;
    const std::string backup = box.root() + "/tasks.krlbak";
    ASSERT_EQ(box.run({"export", backup}).exitCode, 0);
    ASSERT_EQ(box.run({"import", backup}).exitCode, 0) << "a backup of our own imports";
    // The same columns, with a constraint that would stop every later save of a longer title.
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(backup.c_str(), &db), SQLITE_OK);
    EXPECT_EQ(
        sqlite3_exec(db,
                     "DROP TABLE tasklist; CREATE TABLE tasklist ([ID] INTEGER PRIMARY KEY, [Enabled] "
                     "INTEGER, [Title] VARCHAR (255) CHECK (length(Title) < 5), [DateMode] INTEGER, [Year] "
                     "INTEGER, [Month] INTEGER, [Day] INTEGER, [Sun] INTEGER, [Mon] INTEGER, [Tue] INTEGER, "
                     "[Wed] INTEGER, [Thu] INTEGER, [Fri] INTEGER, [Sat] INTEGER, [Time] VARCHAR (255), "
                     "[Loop] INTEGER, [EndTime] VARCHAR (255), [Hotkey1] INTEGER, [Hotkey2] INTEGER, "
                     "[hkLoop] INTEGER, [Countdown] INTEGER, [Event] INTEGER, [Macro] VARCHAR (255), "
                     "[Launch] VARCHAR (255), [Terminate] VARCHAR (255), [OpenFile] VARCHAR (255), "
                     "[OpenURL] VARCHAR (255), [Message] TEXT, [Last] VARCHAR (255));",
                     nullptr, nullptr, nullptr),
        SQLITE_OK);
    sqlite3_close(db);
    const std::string before = FileBytes(box.database());
    const CliResult r = box.run({"import", backup});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("defined otherwise"), std::string::npos) << r.err;
    EXPECT_EQ(FileBytes(box.database()), before);
}

TEST(DatabaseFiles, ADamagedDatabaseIsNamedAndNotWrittenTo) {
    Sandbox box;
    for (int i = 0; i < 40; ++i)
        ASSERT_EQ(box.run({"add", "--trigger", "daily", "--launch", "/bin/true"}).exitCode, 0);
    std::string bytes = FileBytes(box.database());
    ASSERT_GT(bytes.size(), 12000u);
    for (std::size_t i = 8000; i < 11000; ++i)
        bytes[i] = static_cast<char>(i * 131 % 251);
    WriteFile(box.database(), bytes);
    for (const std::vector<std::string>& command :
         {std::vector<std::string>{"add", "--trigger", "daily", "--launch", "/bin/true"},
          std::vector<std::string>{"disable", "3"}, std::vector<std::string>{"delete", "3"}}) {
        const CliResult r = box.run(command);
        EXPECT_EQ(r.exitCode, 1) << command[0];
        EXPECT_NE(r.err.find("is damaged"), std::string::npos) << r.err;
        EXPECT_NE(r.err.find(box.database()), std::string::npos) << r.err;
    }
    EXPECT_EQ(FileBytes(box.database()), bytes);
}

} // namespace
} // namespace orvanta::cli_test
