#include "cli_runner.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sstream>

namespace orvanta::cli_test {
namespace {

// A Friday.
const std::string kNow = "2025-03-07 09:05:00";

struct Moment {
    int year, month, day, hour, minute, second;
};

// Seconds since 1970-01-01 00:00:00 of the local date and time, counted as if the day had no zones.
std::string SecondsOf(const Moment& m) {
    using namespace std::chrono;
    const sys_days date =
        year{m.year} / month{static_cast<unsigned>(m.month)} / day{static_cast<unsigned>(m.day)};
    const long long seconds =
        date.time_since_epoch().count() * 86400LL + m.hour * 3600 + m.minute * 60 + m.second;
    return std::to_string(seconds);
}

std::string KeyOf(const Moment& m) {
    char key[64];
    std::snprintf(key, sizeof key, "%d-%d-%d-%d-%d-%d", m.year, m.month, m.day, m.hour, m.minute, m.second);
    return key;
}

using Row = std::vector<std::string>;

// Every line must hold exactly eight tab-separated columns.
std::vector<Row> Rows(const std::string& out) {
    std::vector<Row> rows;
    std::istringstream lines(out);
    for (std::string line; std::getline(lines, line);) {
        Row columns;
        std::size_t start = 0;
        for (std::size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1)
            columns.push_back(line.substr(start, tab - start));
        columns.push_back(line.substr(start));
        EXPECT_EQ(columns.size(), 8u) << line;
        rows.push_back(columns);
    }
    EXPECT_TRUE(out.empty() || out.back() == '\n');
    return rows;
}

std::vector<std::string> Ids(const std::vector<Row>& rows) {
    std::vector<std::string> ids;
    for (const Row& row : rows)
        ids.push_back(row.at(2));
    return ids;
}

void RunSql(const std::string& database, const std::string& sql) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(database.c_str(), &db), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
    sqlite3_close(db);
}

struct Expected {
    std::string id, text, status, enabled;
    Moment due;
    std::string countdown;
    bool wakes;
};

// Tasks of every group, added at kNow; the template's hotkeys hold IDs 1 to 7.
class ScheduledList : public ::testing::Test {
  protected:
    void SetUp() override {
        const std::vector<std::vector<std::string>> tasks = {
            {"--title", "Gone", "--date", "2025-03-06", "--start", "8:00", "--event", "lock"},      // 8
            {"--title", "Noon wake", "--date", "2025-03-07", "--start", "12:30", "--event", "wake", // 9
             "--countdown", "30"},
            {"--title", "Morning", "--trigger", "daily", "--start", "7:00", "--message", "hi"},   // 10
            {"--title", "Weekly", "--trigger", "weekly", "--days", "mon,wed", "--start", "10:00", // 11
             "--event", "standby"},
            {"--title", "Off", "--trigger", "daily", "--start", "9:30", "--event", "lock",
             "--disabled"},                                                                           // 12
            {"--title", "Far", "--date", "2025-05-01", "--start", "10:00", "--event", "lock"},        // 13
            {"--title", "Old", "--date", "2025-03-01", "--start", "18:00", "--event", "lock"},        // 14
            {"--title", "Off and gone", "--date", "2025-03-05", "--start", "6:00", "--event", "lock", // 15
             "--disabled"},
        };
        for (std::size_t i = 0; i < tasks.size(); ++i) {
            std::vector<std::string> args = {"--now", kNow, "add"};
            args.insert(args.end(), tasks[i].begin(), tasks[i].end());
            const CliResult added = box.run(args);
            ASSERT_EQ(added.exitCode, 0) << added.err;
            ASSERT_EQ(added.out, std::to_string(8 + i) + "\n");
        }
    }

    CliResult list(const std::string& now = kNow) const { return box.run({"--now", now, "list"}); }
    std::vector<std::string> listedIds() const {
        const CliResult r = list();
        EXPECT_EQ(r.exitCode, 0) << r.err;
        return Ids(Rows(r.out));
    }
    void writeSettings(const std::string& ini) const { WriteFile(box.dataFolder() + "/wake.ini", ini); }

    Sandbox box;
};

TEST_F(ScheduledList, RowsCarryTheirColumnsWaitingThenDisabledThenPassedNewestFirst) {
    const std::string pad(11, ' ');
    // clang-format off
    const std::vector<Expected> expected = {
        {"9",  "Waiting ---- Mar 7,  2025 ---- 12:30:00 ---- Noon wake",    "Waiting", "1", {2025, 3, 7, 12, 30, 0}, "30", true},
        {"10", "Waiting ---- Daily ---- 7:00:00 ---- Morning",              "Waiting", "1", {2025, 3, 8, 7, 0, 0},   "0",  false},
        {"11", "Waiting ---- Mon Wed ---- 10:00:00 ---- Weekly",            "Waiting", "1", {2025, 3, 10, 10, 0, 0}, "0",  false},
        {"13", "Waiting ---- May 1,  2025 ---- 10:00:00 ---- Far",          "Waiting", "1", {2025, 5, 1, 10, 0, 0},  "0",  false},
        // Disabled rows keep the status of their moment; the text says Disabled.
        {"15", "Disabled ---- Mar 5,  2025 ---- 6:00:00 ---- Off and gone", "Passed",  "0", {2025, 3, 5, 6, 0, 0},   "0",  false},
        {"12", "Disabled ---- Daily ---- 9:30:00 ---- Off",                 "Waiting", "0", {2025, 3, 7, 9, 30, 0},  "0",  false},
        {"8",  "Passed ---- Mar 6,  2025 ---- 8:00:00 ---- Gone",           "Passed",  "1", {2025, 3, 6, 8, 0, 0},   "0",  false},
        {"14", "Passed ---- Mar 1,  2025 ---- 18:00:00 ---- Old",           "Passed",  "1", {2025, 3, 1, 18, 0, 0},  "0",  false},
    };
    // clang-format on
    const CliResult r = list();
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.err, "");
    const std::vector<Row> rows = Rows(r.out);
    ASSERT_EQ(rows.size(), expected.size()) << r.out;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const Expected& e = expected[i];
        const Row want = {pad + e.text,     e.status,    e.id,         e.enabled,
                          SecondsOf(e.due), e.countdown, KeyOf(e.due), e.wakes ? KeyOf(e.due) : ""};
        EXPECT_EQ(rows[i], want) << "row " << i;
    }

    // The fixed moment is also the one add saved the tasks at.
    EXPECT_NE(ShowFields(box.run({"show", "8"}).out)["Last"].find("(2025-03-07 09:05:00)"),
              std::string::npos);
}

TEST_F(ScheduledList, EachFilterSavedInWakeIniChangesTheRows) {
    const std::vector<std::pair<std::string, std::vector<std::string>>> cases = {
        {"", {"9", "10", "11", "13", "15", "12", "8", "14"}},
        // A disabled task that has passed stays while disabled tasks are listed.
        {"[Option]\nHidePassed=1\n", {"9", "10", "11", "13", "15", "12"}},
        {"[Option]\nHideDisabled=1\n", {"9", "10", "11", "13", "8", "14"}},
        {"[Option]\nHidePassed=1\nHideDisabled=1\n", {"9", "10", "11", "13"}},
        // 30 days by default: 1 May is 55 days ahead.
        {"[Option]\nHideLater=1\n", {"9", "10", "11", "15", "12", "8", "14"}},
        // Monday 10:00 is not before now plus three days; disabled tasks are never too far ahead.
        {"[Option]\nHideLater=1\nHideDays=3\n", {"9", "10", "15", "12", "8", "14"}},
        {"[Option]\nHideLater=0\nHideDays=3\n", {"9", "10", "11", "13", "15", "12", "8", "14"}},
    };
    for (const auto& [ini, ids] : cases) {
        writeSettings(ini);
        EXPECT_EQ(listedIds(), ids) << ini;
    }
}

TEST_F(ScheduledList, NowTakesMillisecondsIntoAccount) {
    // The daily task at 7:00:00 is due at that very instant and moves on a millisecond later.
    const auto rowOf = [](const CliResult& r, const std::string& id) {
        for (const Row& row : Rows(r.out))
            if (row.at(2) == id) return row;
        ADD_FAILURE() << "no row " << id << " in\n" << r.out;
        return Row(8);
    };
    const Row atSeven = rowOf(list("2025-03-08 07:00:00.000"), "10");
    EXPECT_EQ(atSeven[1], "Passed");
    EXPECT_EQ(atSeven[6], KeyOf({2025, 3, 8, 7, 0, 0}));
    const Row justAfter = rowOf(list("2025-03-08 07:00:00.001"), "10");
    EXPECT_EQ(justAfter[1], "Waiting");
    EXPECT_EQ(justAfter[6], KeyOf({2025, 3, 9, 7, 0, 0}));
    EXPECT_EQ(justAfter[4], SecondsOf({2025, 3, 9, 7, 0, 0}));
}

TEST_F(ScheduledList, NextShowsTheFirstWaitingEnabledRow) {
    const CliResult r = box.run({"--now", kNow, "next"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "Upcoming event: Mar 7,  2025 - 12:30:00 - Noon wake\n");

    // Once the wake task has passed, the daily one at 7:00 comes next.
    EXPECT_EQ(box.run({"--now", "2025-03-07 12:30:00", "next"}).out,
              "Upcoming event: Daily - 7:00:00 - Morning\n");
}

TEST_F(ScheduledList, AListLongerThanOneWrittenPieceHoldsEveryRowOnce) {
    // Copies of the daily task make a list of some 200 KB, written out in several pieces.
    const std::string columns = "Enabled,Title,DateMode,Year,Month,Day,Sun,Mon,Tue,Wed,Thu,Fri,Sat,Time,Loop,"
                                "EndTime,Hotkey1,Hotkey2,hkLoop,Countdown,Event,Macro,Launch,Terminate,"
                                "OpenFile,OpenURL,Message,Last";
    RunSql(box.database(), "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 2000) "
                           "INSERT INTO tasklist (" +
                               columns + ") SELECT " + columns + " FROM tasklist, n WHERE ID = 10;");
    std::vector<std::string> ids = listedIds();
    std::sort(ids.begin(), ids.end(),
              [](const std::string& a, const std::string& b) { return std::stoll(a) < std::stoll(b); });
    ASSERT_EQ(ids.size(), 2008u);
    for (std::size_t i = 0; i < ids.size(); ++i)
        EXPECT_EQ(ids[i], std::to_string(8 + i));
}

TEST_F(ScheduledList, DamagedRowsAreReportedAfterTheRowsThatCouldBeScheduled) {
    RunSql(box.database(), "UPDATE tasklist SET Title='zz' WHERE ID=11;");
    const CliResult r = list();
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(Ids(Rows(r.out)), (std::vector<std::string>{"9", "10", "13", "15", "12", "8", "14"}));
    EXPECT_EQ(r.err.rfind("orvantactl: Task 11 is not scheduled: ", 0), 0u) << r.err;
    EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;

    const CliResult next = box.run({"--now", kNow, "next"});
    EXPECT_EQ(next.exitCode, 1);
    EXPECT_EQ(next.out, "Upcoming event: Mar 7,  2025 - 12:30:00 - Noon wake\n");
    EXPECT_EQ(next.err, r.err);

    // With every timed task damaged, each is named on a line of its own and the list is empty.
    RunSql(box.database(), "UPDATE tasklist SET Title='zz' WHERE DateMode != 0;");
    const CliResult all = list();
    EXPECT_EQ(all.exitCode, 1);
    EXPECT_EQ(all.out, "None\t\t\t\t\t\t\t\n");
    std::istringstream lines(all.err);
    int count = 0;
    for (std::string line; std::getline(lines, line); ++count)
        EXPECT_EQ(line.rfind("orvantactl: Task " + std::to_string(8 + count) + " is not scheduled: ", 0), 0u)
            << line;
    EXPECT_EQ(count, 8) << all.err;
}

TEST(ListNext, WithoutTimedTasksTheListIsTheNoneRowAndNothingIsUpcoming) {
    Sandbox box;
    const CliResult list = box.run({"list"});
    EXPECT_EQ(list.exitCode, 0) << list.err;
    EXPECT_EQ(list.out, "None\t\t\t\t\t\t\t\n");
    EXPECT_EQ(box.run({"next"}).out, "Upcoming event: None\n");

    // A passed task is listed, but it is not upcoming.
    ASSERT_EQ(box.run({"--now", kNow, "add", "--date", "2025-03-01", "--event", "lock"}).exitCode, 0);
    const std::vector<Row> rows = Rows(box.run({"--now", kNow, "list"}).out);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][1], "Passed");
    EXPECT_EQ(box.run({"--now", kNow, "next"}).out, "Upcoming event: None\n");
}

TEST(ListNext, TabsLineBreaksAndBackslashesInTextAreEscaped) {
    Sandbox box;
    ASSERT_EQ(box.run({"--now", kNow, "add", "--trigger", "daily", "--start", "10:00", "--event", "lock",
                       "--title", "C:\\tmp\tcol\r\nline"})
                  .exitCode,
              0);
    const CliResult list = box.run({"--now", kNow, "list"});
    const std::vector<Row> rows = Rows(list.out);
    ASSERT_EQ(rows.size(), 1u) << list.out;
    EXPECT_EQ(rows[0][0],
              std::string(11, ' ') + "Waiting ---- Daily ---- 10:00:00 ---- C:\\\\tmp\\tcol\\r\\nline");
    EXPECT_EQ(box.run({"--now", kNow, "next"}).out,
              "Upcoming event: Daily - 10:00:00 - C:\\\\tmp\\tcol\\r\\nline\n");
}

TEST(ListNext, MalformedNowAndStrayArgumentsAreRefused) {
    Sandbox box;
    const std::vector<std::vector<std::string>> cases = {
        {"--now", "2025-03-07", "list"},
        {"--now", "2025-03-07 9:05", "list"},
        {"--now", "2025-03-07T09:05:00", "list"},
        {"--now", "2025-03-07  09:05:00", "list"},
        {"--now", "2025-02-29 09:05:00", "list"},
        {"--now", "2025-03-07 24:00:00", "next"},
        {"--now", "2025-03-07 09:60:00", "next"},
        {"--now", "2025-03-07 09:05:00.5", "list"},
        {"--now", "2025-03-07 09:05:00.1234", "list"},
        {"--now", "2025-03-07 09:05:00.", "list"},
        {"--now=", "list"},
        {"--now"},
        {"list", "extra"},
        {"next", "--hide-passed"},
    };
    for (const auto& args : cases) {
        const CliResult r = box.run(args);
        const std::string context = args[0] + " " + (args.size() > 1 ? args[1] : "");
        EXPECT_EQ(r.exitCode, 2) << context;
        EXPECT_EQ(r.err.rfind("orvantactl: ", 0), 0u) << context << r.err;
        EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << context << r.err;
        EXPECT_EQ(r.out, "") << context;
    }
    // Refused before the data folder is touched.
    EXPECT_EQ(FileBytes(box.database()), "<missing>");
    EXPECT_EQ(box.run({"--now=2024-02-29 23:59:59.999", "list"}).exitCode, 0);
}

} // namespace
} // namespace orvanta::cli_test
