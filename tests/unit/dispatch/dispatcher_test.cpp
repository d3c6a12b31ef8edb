#include "platform/fake/fake_clock.h"
#include "scheduler/dispatcher.h"
#include "tests/support/recording_ports.h"

#include <climits>
#include <gtest/gtest.h>

namespace orvanta::scheduler {
namespace {

using Log = std::vector<std::string>;

struct RowSpec {
    std::string id;
    std::string key = "2025-3-7-9-5-0";
    int event = 0;
    int countdown = 0;
    std::string message, terminate, url, file, macro, launch;
    std::string enabled = "1";
    std::string dateMode = "1";
};

TaskRow MakeRow(const RowSpec& s) {
    TaskRow r{};
    r.Set(kColId, s.id);
    r.Set(kColEnabled, s.enabled);
    r.Set(kColTitle, "Task " + s.id);
    r.Set(kColDateMode, s.dateMode);
    r.Set(kColCountdown, std::to_string(s.countdown));
    r.Set(kColEvent, std::to_string(s.event));
    r.Set(kColMessage, s.message);
    r.Set(kColTerminate, s.terminate);
    r.Set(kColOpenUrl, s.url);
    r.Set(kColOpenFile, s.file);
    r.Set(kColMacro, s.macro);
    r.Set(kColLaunch, s.launch);
    r.Set(kColDueKey, s.key);
    return r;
}

class DispatcherTest : public ::testing::Test {
  protected:
    SchedulerState state;
    RunTable table;
    test::RecordingPorts ports;
    platform::fake::FakeClock clock{{2025, 3, 7, 9, 5, 0, 500}};
    int rebuilds = 0;
    std::vector<TaskRow> storedRows; // what a rebuild reads back
    Dispatcher dispatcher{state,
                          {ports, ports, ports, ports, clock, ports},
                          [this]() -> RunTable& { return table; },
                          [this] {
                              ++rebuilds;
                              ports.log.push_back("rebuild");
                              table.taskRows = storedRows;
                              table.taskRowCount = storedRows.size();
                              state.dispatchBusy = false;
                          }};

    void Load(std::initializer_list<RowSpec> specs) {
        storedRows.clear();
        for (const auto& s : specs)
            storedRows.push_back(MakeRow(s));
        table.taskRows = storedRows;
        table.taskRowCount = storedRows.size();
    }
};

TEST_F(DispatcherTest, AKeyMatchingNothingStillRebuildsAndRestartsThePoll) {
    Load({{.id = "1", .key = "2025-3-7-9-6-0", .event = 4}});
    dispatcher.DispatchDueTasks("2025-3-7-9-5-0");
    EXPECT_EQ(ports.log, (Log{"poll off", "rebuild", "poll on"}));
    EXPECT_EQ(state.lastPollTime, clock.now());
    EXPECT_FALSE(state.dispatchBusy);
}

TEST_F(DispatcherTest, ImmediateActionsRunInTheirFixedOrder) {
    Load({{.id = "1",
           .event = 0,
           .message = "line 1\r\nline 2",
           .terminate = "proc",
           .url = "http://x",
           .file = "/f",
           .macro = "/m.mco",
           .launch = "/bin/p | -a"}});
    dispatcher.DispatchDueTasks("2025-3-7-9-5-0");
    EXPECT_EQ(ports.log, (Log{"poll off", "message line 1\r\nline 2", "kill proc", "url http://x", "open /f",
                              "macro /m.mco", "launch /bin/p | -a", "rebuild", "poll on"}));
}

TEST_F(DispatcherTest, PowerEventsRunAtTheirStepsAndSuspendAndShutDownAfterTheRebuild) {
    Load({{.id = "1", .event = 8, .message = "m"},
          {.id = "2", .event = 7},
          {.id = "3", .event = 4},
          {.id = "4", .event = 2},
          {.id = "5", .event = 3},
          {.id = "6", .event = 5},
          {.id = "7", .event = 3},
          {.id = "8", .event = 6}});
    dispatcher.DispatchDueTasks("2025-3-7-9-5-0");
    EXPECT_EQ(ports.log, (Log{"poll off", "monitor off", "message m", "close allowed", "log off", "lock",
                              "close allowed", "restart", "rebuild", "poll on", "stand by", "hibernate",
                              "close allowed", "shut down"}));
}

TEST_F(DispatcherTest, CountDownRowsAskFirstAndNameTheirAction) {
    Load({{.id = "1", .event = 7, .countdown = 30},
          {.id = "2",
           .event = 0,
           .countdown = 30,
           .message = "hello",
           .url = "http://u",
           .launch = "/usr/bin/prog | --flag x"},
          {.id = "3", .event = 3, .countdown = 15}});
    dispatcher.DispatchDueTasks("2025-3-7-9-5-0");
    EXPECT_EQ(ports.log, (Log{"poll off", "rebuild", "reminder 1 LogOff", "message hello", "reminder 2 ",
                              "rebuild", "poll on", "reminder 3 ShutDown"}));
    ASSERT_EQ(ports.reminders.size(), 3u);
    ReminderRequest program;
    program.taskId = "2";
    program.openUrl = "http://u";
    program.launchMarker = "OpenEXE";
    program.countdown = 30;
    program.title = "Task 2";
    program.program = "/usr/bin/prog ";
    program.parameters = " --flag x";
    EXPECT_EQ(ports.reminders[1], program);
    EXPECT_EQ(ports.reminders[0].countdown, 30);
    EXPECT_EQ(ports.reminders[2].title, "Task 3");
    EXPECT_EQ(ports.reminders[2].countdown, 15);
}

TEST_F(DispatcherTest, RowsThatAreNotDueEnabledOrTimedAreSkipped) {
    Load({{.id = "1", .event = 4, .enabled = "0"},
          {.id = "2", .event = 4, .dateMode = "0"},
          {.id = "3", .key = "2025-3-7-9-5-1", .event = 4},
          {.id = "4", .event = 8}});
    table.taskRows[3].Set(kColFired, "1");
    dispatcher.DispatchDueTasks("2025-3-7-9-5-0");
    EXPECT_EQ(ports.log, (Log{"poll off", "rebuild", "poll on"}));
}

TEST_F(DispatcherTest, SameDeferredRequestRunsOnceForTheLastRowThatAsked) {
    Load({{.id = "1", .event = 3, .countdown = 10}, {.id = "2", .event = 3, .countdown = 20}});
    dispatcher.DispatchDueTasks("2025-3-7-9-5-0");
    EXPECT_EQ(ports.log, (Log{"poll off", "rebuild", "poll on", "reminder 2 ShutDown"}));
}

TEST_F(DispatcherTest, AKeyIsDispatchedOnceWhicheverWaiterHandsItOver) {
    Load({{.id = "1", .launch = "/bin/once", .dateMode = "2"}});
    dispatcher.DispatchDueTasks("2025-3-7-9-5-0");
    dispatcher.DispatchDueTasks("2025-3-7-9-5-0"); // the other waiter hands over the same second
    EXPECT_EQ(std::count(ports.log.begin(), ports.log.end(), "launch /bin/once"), 1);
    // The second hand-over still ends as every pass does: rebuilt, poll running.
    EXPECT_EQ(std::count(ports.log.begin(), ports.log.end(), "rebuild"), 2);
    EXPECT_EQ(ports.log.back(), "poll on");
}

TEST_F(DispatcherTest, KeysDueWhileAConfirmationIsOpenRunInOrderAfterIt) {
    Load({{.id = "1", .countdown = 30, .launch = "/bin/confirmed"},
          {.id = "2", .key = "2025-3-7-9-5-10", .launch = "/bin/second"},
          {.id = "3", .key = "2025-3-7-9-5-20", .launch = "/bin/third"},
          {.id = "4", .key = "2025-3-7-9-4-0", .launch = "/bin/stale"}});
    std::vector<std::string> notRun;
    struct NotRunLines : RunEventSink {
        std::vector<std::string>& lines;
        explicit NotRunLines(std::vector<std::string>& l) : lines(l) {}
        void Record(const RunEvent& e) override {
            if (e.outcome == RunOutcome::kSkipped) lines.push_back(e.dueKey + " " + e.reason);
        }
    } notRunLines{notRun};
    Dispatcher d{state,
                 {ports, ports, ports, ports, clock, notRunLines},
                 [this]() -> RunTable& { return table; },
                 [this] {
                     ports.log.push_back("rebuild");
                     table.taskRows = storedRows;
                     table.taskRowCount = storedRows.size();
                 }};
    ports.onReminder = [&](const ReminderRequest&) {
        // While the user looks at the confirmation, two more tasks come due and a key kept from long ago.
        clock.set({2025, 3, 7, 9, 5, 10, 500});
        d.DispatchDueTasks("2025-3-7-9-5-10");
        clock.set({2025, 3, 7, 9, 5, 20, 500});
        d.DispatchDueTasks("2025-3-7-9-5-20");
        d.DispatchDueTasks("2025-3-7-9-4-0");
        clock.set({2025, 3, 7, 9, 5, 25, 0});
    };
    d.DispatchDueTasks("2025-3-7-9-5-0");
    // The table moves on before the confirmation shows, so the later tasks' timers are armed meanwhile.
    EXPECT_EQ(ports.log, (Log{"poll off", "rebuild", "reminder 1 ", "rebuild", "poll on", "poll off",
                              "launch /bin/second", "rebuild", "poll on", "poll off", "launch /bin/third",
                              "rebuild", "poll on", "poll off", "rebuild", "poll on"}));
    EXPECT_EQ(notRun, (std::vector<std::string>{"2025-3-7-9-4-0 too late"}));
}

TEST_F(DispatcherTest, AKeyIsNotRunBeforeItsMomentWhenTheClockWasSetBack) {
    Load({{.id = "1", .launch = "/bin/a"}});
    clock.set({2025, 3, 7, 8, 5, 0, 500}); // set back an hour between the firing and the hand-over
    dispatcher.DispatchDueTasks("2025-3-7-9-5-0");
    EXPECT_EQ(ports.log, (Log{"poll off", "rebuild", "poll on"}));
}

TEST_F(DispatcherTest, AMacroThatCannotStartEndsThePassButNotItsRebuild) {
    Load({{.id = "1", .event = 5},
          {.id = "2", .macro = "/bad.mco", .launch = "/bin/a"},
          {.id = "3", .launch = "/bin/b"}});
    ports.macroStarts = false;
    dispatcher.DispatchDueTasks("2025-3-7-9-5-0");
    EXPECT_EQ(ports.log, (Log{"poll off", "macro /bad.mco", "rebuild", "poll on"}));
}

TEST_F(DispatcherTest, APostponeThatShrinksTheTableMidPassIsNeverReadPastItsEnd) {
    Load({{.id = "1", .countdown = 5, .launch = "/bin/a"},
          {.id = "2", .launch = "/bin/b"},
          {.id = "3", .launch = "/bin/c"}});
    ports.onReminder = [&](const ReminderRequest&) {
        // The user postponed: the table is rebuilt from a store that now holds only task 1.
        table.taskRows.resize(1);
        table.taskRowCount = 1;
        state.dispatchBusy = false;
    };
    dispatcher.DispatchDueTasks("2025-3-7-9-5-0");
    EXPECT_EQ(ports.log, (Log{"poll off", "rebuild", "reminder 1 ", "rebuild", "poll on"}));
}

TEST_F(DispatcherTest, HotkeyTasksRunAtOnceWithoutRebuildOrPoll) {
    std::vector<TaskRow> hotkeys = {
        MakeRow({.id = "1", .event = 5, .countdown = 30, .message = "m", .launch = "/bin/x"}),
        MakeRow({.id = "2", .event = 3}), MakeRow({.id = "3", .macro = "/bad", .launch = "/bin/never"})};
    hotkeys[0].Set(kColEnabled, "0"); // a pressed hotkey runs whatever its row says
    dispatcher.DispatchHotkeyTask("1", hotkeys);
    dispatcher.DispatchHotkeyTask("2", hotkeys);
    ports.macroStarts = false;
    dispatcher.DispatchHotkeyTask("3", hotkeys);
    EXPECT_EQ(ports.log,
              (Log{"message m", "stand by", "launch /bin/x", "close allowed", "shut down", "macro /bad"}));
    EXPECT_EQ(rebuilds, 0);
}

TEST_F(DispatcherTest, EachHotkeyEventRunsItsOwnActionAndOnlySessionEndsAllowTheClose) {
    const std::vector<std::pair<int, Log>> cases = {
        {8, {"monitor off"}},
        {7, {"close allowed", "log off"}},
        {4, {"lock"}},
        {2, {"close allowed", "restart"}},
        {5, {"stand by"}},
        {6, {"hibernate"}},
        {3, {"close allowed", "shut down"}},
        {1, {}}, // wakes the computer only
        {9, {}},
    };
    for (const auto& [event, expected] : cases) {
        ports.log.clear();
        dispatcher.DispatchHotkeyTask("1", {MakeRow({.id = "1", .event = event})});
        EXPECT_EQ(ports.log, expected) << "event " << event;
    }
}

TEST(CountdownText, OnlyWholeDecimalNumbersCountAndHugeOnesStayHuge) {
    EXPECT_EQ(ParseCountdown("30"), 30);
    EXPECT_EQ(ParseCountdown("-4"), -4);
    EXPECT_EQ(ParseCountdown(""), std::nullopt);
    EXPECT_EQ(ParseCountdown("12x"), std::nullopt);
    // Beyond the integer range: still a count-down, never "none".
    EXPECT_EQ(ParseCountdown("2147483648"), INT_MAX);
    EXPECT_EQ(ParseCountdown("99999999999999999999999"), INT_MAX);
    EXPECT_EQ(ParseCountdown("-99999999999999999999999"), INT_MIN);

    TaskRow row{};
    for (const char* unreadable : {"", "abc", "1e3"}) {
        row.Set(kColCountdown, unreadable);
        row.Set(kColEvent, "3"); // shut down
        EXPECT_EQ(CountdownOf(row), INT_MAX) << unreadable;
        row.Set(kColEvent, "0"); // programs only
        EXPECT_EQ(CountdownOf(row), 0) << unreadable;
    }
}

TEST_F(DispatcherTest, AHugeOrUnreadableCountDownStillAsksBeforeAShutDown) {
    Load({{.id = "1", .event = 3}, {.id = "2", .event = 2}});
    storedRows[0].Set(kColCountdown, "99999999999");
    storedRows[1].Set(kColCountdown, "not a number");
    table.taskRows = storedRows;
    table.taskRowCount = storedRows.size();
    dispatcher.DispatchDueTasks("2025-3-7-9-5-0");
    for (const auto& line : ports.log) {
        EXPECT_EQ(line.find("shut down"), std::string::npos) << line;
        EXPECT_EQ(line.find("restart"), std::string::npos) << line;
    }
    ASSERT_EQ(ports.reminders.size(), 2u);
    EXPECT_EQ(ports.reminders[0].actionWord, "Reboot");
    EXPECT_EQ(ports.reminders[1].actionWord, "ShutDown");
    EXPECT_EQ(ports.reminders[1].countdown, INT_MAX);
}

} // namespace
} // namespace orvanta::scheduler
