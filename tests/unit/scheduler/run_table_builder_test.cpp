#include "data/error.h"
#include "scheduler/run_table_builder.h"
#include "task_rows.h"

#include <gtest/gtest.h>

namespace orvanta::scheduler {
namespace {

using testing::RowOf;
using testing::SetStored;
using testing::Task;
using testing::TimedRows;

const platform::LocalDateTime kNow{2025, 3, 5, 12, 0, 0, 0}; // a Wednesday
const i18n::EnglishTextLookup kEnglish;

data::TaskRecord Once(std::int64_t id, int y, int m, int d, const std::string& time = "8:00:00") {
    auto t = Task(id, data::kOnce, time);
    t.year = y, t.month = m, t.day = d;
    return t;
}

data::TaskRecord Disabled(data::TaskRecord t) {
    t.enabled = 0;
    return t;
}

RunTableBuild Build(const std::vector<data::TaskRecord>& tasks, const RunTableFilters& filters = {},
                    const std::string& current = "") {
    return BuildRunTable(TimedRows(tasks), kNow, filters, current, kEnglish);
}

std::vector<std::string> DisplayedIds(const RunTableBuild& build) {
    std::vector<std::string> ids;
    for (const auto row : *build.table.displayRows)
        ids.emplace_back(row[kDispId]);
    return ids;
}

TEST(BuildRunTable, FillsTaskAndDisplayColumns) {
    auto task = Task(7, data::kDaily, "13:05:00", "Back\"up'; --");
    task.loop = 30, task.endTime = "18:00:00", task.countdown = 30, task.event = data::kEventWakeAndRun;
    task.macro = "m.mco", task.launch = "prog | -x", task.terminate = "p.exe", task.openFile = "f.txt";
    task.openUrl = "http://x", task.message = "line1\r\nline2", task.hotkey1 = 1, task.hotkey2 = 65,
    task.hkLoop = 2;
    auto plain = Task(8, data::kDaily, "11:00:00");
    const RunTableBuild build = Build({task, plain});

    ASSERT_EQ(build.table.taskRowCount, 2u);
    ASSERT_EQ(build.table.taskRows.size(), 2u);
    const TaskRow& row = build.table.taskRows[0];
    const std::pair<std::size_t, std::string> expected[] = {{kColId, "7"},
                                                            {kColEnabled, "1"},
                                                            {kColTitle, "Back\"up'; --"},
                                                            {kColDateMode, "1"},
                                                            {kColYear, "2025"},
                                                            {kColMonth, "1"},
                                                            {kColDay, "1"},
                                                            {kColSun, "0"},
                                                            {kColTime, "13:05:00"},
                                                            {kColCountdown, "30"},
                                                            {kColEvent, "9"},
                                                            {17, ""},
                                                            {kColMacro, "m.mco"},
                                                            {kColLaunch, "prog | -x"},
                                                            {kColTerminate, "p.exe"},
                                                            {kColOpenFile, "f.txt"},
                                                            {kColOpenUrl, "http://x"},
                                                            {kColMessage, "line1\r\nline2"},
                                                            {kColDueSeconds, "1741179900"},
                                                            {kColStatus, "Waiting"},
                                                            {kColPlaced, "1"},
                                                            {27, ""},
                                                            {kColDueKey, "2025-3-5-13-5-0"},
                                                            {kColLoop, "30"},
                                                            {kColEndTime, "18:00:00"},
                                                            {31, ""},
                                                            {kColFired, ""},
                                                            {kColHotkey1, "1"},
                                                            {kColHotkey2, "65"},
                                                            {kColHkLoop, "2"}};
    for (const auto& [column, value] : expected)
        EXPECT_EQ(row[column], value) << "column " << column;
    EXPECT_EQ(build.table.taskRows[1][kColDueKey], "2025-3-6-11-0-0");

    ASSERT_EQ(build.table.displayRows->size(), 2u);
    const DisplayRow& shown = (*build.table.displayRows)[0];
    EXPECT_EQ(shown[kDispText], "           Waiting ---- Daily ---- Repeat: 30 Minutes  Start: 13:05:00   "
                                "End: 18:00:00 ---- Back\"up'; --");
    EXPECT_EQ((DisplayRows::Cells{shown[kDispText], "Waiting", "7", "1", "1741179900", "30",
                                  "2025-3-5-13-5-0", "2025-3-5-13-5-0"}),
              shown.Cells());
    EXPECT_EQ((*build.table.displayRows)[1][kDispWakeKey], "")
        << "only wake-up codes 1 and 9 are armed for waking";
    EXPECT_EQ(build.hint, "Upcoming event: Daily - Repeat: 30 Minutes  Start: 13:05:00   End: 18:00:00 - "
                          "Back\"up'; --");
    EXPECT_TRUE(build.problems.empty());
}

TEST(BuildRunTable, OrdersWaitingThenDisabledThenPassedKeepingReadOrderOnTies) {
    const RunTableBuild build = Build({
        Once(1, 2025, 3, 1),                                             // passed, 4 days ago
        Task(2, data::kDaily, "13:00:00"),                               // waiting, today
        Disabled(Once(3, 2025, 3, 2)),                                   // disabled and passed
        Once(4, 2025, 3, 4),                                             // passed, yesterday
        Task(5, data::kDaily, "9:00:00"),                                // waiting, tomorrow
        Once(6, 2025, 3, 5, "13:00:00"),                                 // waiting, ties with 2, read later
        Disabled(Task(7, data::kDaily, "8:00:00")), Once(8, 2025, 3, 4), // ties with 4, read later
    });
    EXPECT_EQ(DisplayedIds(build), (std::vector<std::string>{"2", "6", "5", "3", "7", "4", "8", "1"}));
    std::vector<std::string> readOrder;
    for (const auto& row : build.table.taskRows)
        readOrder.emplace_back(row[kColId]);
    EXPECT_EQ(readOrder, (std::vector<std::string>{"1", "2", "3", "4", "5", "6", "7", "8"}));
    EXPECT_EQ(build.table.taskRows[0][kColStatus], "Passed");
    EXPECT_EQ(build.table.taskRows[2][kColStatus], "Passed") << "a disabled task keeps its computed status";
}

TEST(BuildRunTable, KeepsReadOrderAmongManyEqualOccurrences) {
    std::vector<data::TaskRecord> tasks;
    std::vector<std::string> waiting, disabled;
    for (int id = 1; id <= 60; ++id) {
        tasks.push_back(Task(id, data::kDaily, "13:00:00"));
        if (id % 3 == 0) tasks.back().enabled = 0;
        (id % 3 == 0 ? disabled : waiting).push_back(std::to_string(id));
    }
    waiting.insert(waiting.end(), disabled.begin(), disabled.end());
    EXPECT_EQ(DisplayedIds(Build(tasks)), waiting);
}

TEST(BuildRunTable, FiltersWithTheirExceptions) {
    const std::vector<data::TaskRecord> tasks = {
        Once(1, 2025, 3, 6),             // waiting, tomorrow
        Once(2, 2025, 4, 14),            // waiting, 40 days ahead
        Once(3, 2025, 3, 4),             // passed
        Disabled(Once(4, 2025, 3, 3)),   // disabled, passed
        Disabled(Once(5, 2025, 4, 24)),  // disabled, 50 days ahead
        Once(6, 2025, 3, 8, "12:00:00"), // waiting, exactly 3 days ahead
    };
    using Ids = std::vector<std::string>;
    const struct {
        const char* name;
        RunTableFilters filters;
        std::string current;
        Ids shown;
    } cases[] = {
        {"no filter", {}, "", {"1", "6", "2", "4", "5", "3"}},
        {"later than 30 days", {.hideLater = true, .hideDays = 30}, "", {"1", "6", "4", "5", "3"}},
        {"later, but just edited", {.hideLater = true, .hideDays = 30}, "2", {"1", "6", "2", "4", "5", "3"}},
        {"later, 0 days keeps the first row", {.hideLater = true, .hideDays = 0}, "", {"1", "4", "5", "3"}},
        {"later, exactly 3 days ahead is hidden",
         {.hideLater = true, .hideDays = 3},
         "",
         {"1", "4", "5", "3"}},
        {"later, 4 days", {.hideLater = true, .hideDays = 4}, "", {"1", "6", "4", "5", "3"}},
        {"later, 41 days", {.hideLater = true, .hideDays = 41}, "", {"1", "6", "2", "4", "5", "3"}},
        {"passed", {.hidePassed = true}, "", {"1", "6", "2", "4", "5"}},
        {"passed, but just edited", {.hidePassed = true}, "3", {"1", "6", "2", "4", "5", "3"}},
        {"passed and disabled", {.hidePassed = true, .hideDisabled = true}, "", {"1", "6", "2", "5"}},
        {"all of them", {.hidePassed = true, .hideLater = true, .hideDays = 1}, "", {"1", "4", "5"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const RunTableBuild build = Build(tasks, c.filters, c.current);
        EXPECT_EQ(DisplayedIds(build), c.shown);
        EXPECT_EQ(build.table.taskRowCount, tasks.size()) << "filters hide display rows only";
    }
}

TEST(BuildRunTable, HintAndNoneRow) {
    const auto waiting = Task(1, data::kDaily, "13:00:00", "Backup ---- nightly");
    const auto passed = Once(2, 2025, 3, 1);
    const struct {
        const char* name;
        std::vector<data::TaskRecord> tasks;
        RunTableFilters filters;
        std::string hint;
        std::string firstText;
    } cases[] = {
        {"title with a separator", {waiting, passed}, {}, "Upcoming event: Daily - 13:00:00 - Backup", ""},
        {"first row passed", {passed}, {}, "Upcoming event: None", ""},
        {"first row disabled", {Disabled(waiting), passed}, {}, "Upcoming event: None", ""},
        {"no timed task", {}, {}, "Upcoming event: None", "None"},
        {"everything hidden", {passed}, {.hidePassed = true}, "Upcoming event: None", "None"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const RunTableBuild build = Build(c.tasks, c.filters);
        EXPECT_EQ(build.hint, c.hint);
        if (!c.firstText.empty()) {
            ASSERT_EQ(build.table.displayRows->size(), 1u);
            EXPECT_EQ((*build.table.displayRows)[0].Cells(),
                      (DisplayRows::Cells{c.firstText, "", "", "", "", "", "", ""}));
        }
    }
    const RunTableBuild empty = EmptyRunTable(kEnglish);
    EXPECT_EQ(empty.hint, "Upcoming event: None");
    EXPECT_EQ(empty.table.taskRowCount, 0u);
    EXPECT_EQ(empty.table.displayRows->size(), 1u);
}

TEST(BuildRunTable, LeavesOutUndecodableRowsAndSchedulesTheRest) {
    std::vector<data::DataSet::Row> rows;
    auto add = [&](data::TaskRecord task, const char* column, const char* stored) {
        rows.push_back(RowOf(task));
        if (column) SetStored(rows.back(), column, stored);
    };
    add(Task(1, data::kDaily, "13:00:00"), nullptr, nullptr);
    add(Task(2, data::kDaily, "13:00:00"), "Title", "41G2");
    add(Task(3, data::kDaily, "25:00:00"), nullptr, nullptr);
    add(Task(4, data::kDaily, "13:00:00"), "Loop", "ten");
    auto repeating = Task(5, data::kDaily, "13:00:00");
    repeating.loop = 10;
    add(repeating, "EndTime", "");
    add(Task(6, data::kDaily, "13:00:00"), "EndTime", ""); // no repeat: the end time is never read
    add(Task(7, 7, "13:00:00"), nullptr, nullptr);
    add(Once(8, 2025, 13, 1), nullptr, nullptr);
    add(Task(9, data::kMonthly, "13:00:00"), "Day", "0");
    add(Task(10, data::kDaily, "13:00:00"), "Message", "4");

    const RunTableBuild build = BuildRunTable(TimedRows(std::move(rows)), kNow, {}, "", kEnglish);
    std::vector<std::string> scheduled;
    for (const auto& row : build.table.taskRows)
        scheduled.emplace_back(row[kColId]);
    EXPECT_EQ(scheduled, (std::vector<std::string>{"1", "6", "10"}));
    EXPECT_EQ(build.table.taskRowCount, 3u);
    EXPECT_EQ(build.table.displayRows->size(), 3u);

    const std::pair<std::string, std::string> expected[] = {
        {"2", "Title does not decode: '$G2' is not a valid integer value"},
        {"3", "Time \"25:00:00\" is not a valid time of day"},
        {"4", "Loop \"ten\" is not a number"},
        {"5", "EndTime \"\" is not a valid time of day"},
        {"7", "DateMode 7 is not a timed task kind"},
        {"8", "Month 13 is out of range"},
        {"9", "Day 0 is out of range"},
    };
    ASSERT_EQ(build.problems.size(), std::size(expected));
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        EXPECT_EQ(build.problems[i].taskId, expected[i].first);
        EXPECT_EQ(build.problems[i].problem, expected[i].second);
    }
    const std::string message = DescribeRowProblems(build.problems);
    EXPECT_EQ(message.substr(0, message.find('\n')),
              "Task 2 is not scheduled: Title does not decode: '$G2' is not a valid integer value");
    EXPECT_EQ(DescribeRowProblems({}), "");
}

TEST(BuildRunTable, SchedulesAtMostTheLimitAndReportsTheRest) {
    const std::size_t total = kMaxTimedTasks + 2;
    std::vector<data::DataSet::Row> rows;
    rows.reserve(total);
    for (std::size_t i = 1; i <= total; ++i)
        rows.push_back(RowOf(Task(static_cast<std::int64_t>(i), data::kDaily, "9:00:00")));
    const RunTableBuild build = BuildRunTable(TimedRows(std::move(rows)), kNow, {}, "", kEnglish);
    EXPECT_EQ(build.table.taskRowCount, kMaxTimedTasks);
    EXPECT_EQ(build.table.displayRows->size(), kMaxTimedTasks);
    ASSERT_EQ(build.problems.size(), 2u);
    EXPECT_EQ(build.problems[0].taskId, std::to_string(kMaxTimedTasks + 1));
    const std::string message = DescribeRowProblems(build.problems);
    EXPECT_NE(message.find("more than 86,400 timed tasks"), std::string::npos);
}

TEST(BuildRunTable, RaisesForAResultWithoutTaskColumns) {
    data::DataSet wrong({{"ID", data::ColumnKind::Integer}}, {{std::string("1")}});
    EXPECT_THROW(BuildRunTable(std::move(wrong), kNow, {}, "", kEnglish), Error);
}

} // namespace
} // namespace orvanta::scheduler
