#include "data/task_store.h"
#include "platform/fake/fake_clock.h"
#include "platform/fake/fake_log.h"
#include "platform/fake/fake_run_history.h"
#include "platform/fake/fake_wake_timer.h"
#include "scheduler/run_history_sink.h"
#include "scheduler/scheduler.h"
#include "tests/support/recording_ports.h"
#include "tests/support/temp_folder.h"

#include <algorithm>
#include <functional>
#include <gtest/gtest.h>

// What the run history is told, by the scheduler on the simulated clock: one entry for every firing
// and every occurrence that did not run, with the reason.
namespace orvanta::scheduler {
namespace {

using platform::LocalDateTime;

class RunHistoryTest : public ::testing::Test {
  protected:
    test::TempFolder folder;
    platform::fake::FakeClock clock{{2025, 3, 7, 9, 0, 0, 0}};
    data::TaskStore store{folder.file("task.db"), clock};
    i18n::EnglishTextLookup text;
    platform::fake::FakeWakeTimerFactory timers;
    test::RecordingPorts ports;
    Scheduler scheduler{{store, clock, text, timers, ports, ports, ports, ports, [] { return 1; }, [] {},
                         [] { return false; }, ports}};

    void SetUp() override { store.EnsureTaskTable(); }

    // A task due once on 2025-03-07 at the time, with what `fill` gives it.
    std::string AddOnce(const std::string& title, const std::string& time,
                        const std::function<void(data::TaskRecord&)>& fill) {
        data::TaskRecord t;
        t.title = title;
        t.dateMode = data::kOnce;
        t.year = 2025, t.month = 3, t.day = 7;
        t.time = time;
        t.endTime = "23:59:59";
        fill(t);
        return store.InsertTask(t);
    }
    std::string AddOnce(const std::string& title, const std::string& time, int event = data::kEventNone,
                        int countdown = 0) {
        return AddOnce(title, time, [&](data::TaskRecord& t) {
            t.event = event;
            t.countdown = countdown;
        });
    }
    std::string AddOnceLaunching(const std::string& title, const std::string& time, const std::string& launch,
                                 int countdown = 0) {
        return AddOnce(title, time, [&](data::TaskRecord& t) {
            t.launch = launch;
            t.countdown = countdown;
        });
    }
    void FirePlainTimerAt(const LocalDateTime& at) {
        clock.set(at);
        ASSERT_TRUE(timers.timer("nowake2")->fire());
        scheduler.doNoWakeTimer();
    }
};

RunEvent Event(const std::string& id, const std::string& title, const std::string& key,
               const std::string& action, RunOutcome outcome, const std::string& reason = {}) {
    return {id, title, key, action, outcome, reason};
}

TEST_F(RunHistoryTest, EachFiredTaskLeavesOneEntryAndAProgramThatCannotStartIsAFailure) {
    const std::string good = AddOnceLaunching("good", "9:05:00", "/bin/true");
    const std::string lock = AddOnce("lock", "9:05:00", data::kEventLock);
    scheduler.RebuildRunTable();
    ports.failing["launch"] = {RunOutcome::kFailed, "Launch", "no such program: /bin/true"};
    FirePlainTimerAt({2025, 3, 7, 9, 5, 0, 200});
    EXPECT_EQ(ports.events,
              (std::vector<RunEvent>{Event(good, "good", "2025-3-7-9-5-0", "Launch", RunOutcome::kFailed,
                                           "no such program: /bin/true"),
                                     Event(lock, "lock", "2025-3-7-9-5-0", "LockWS", RunOutcome::kRan)}));
}

TEST_F(RunHistoryTest, ARefusedShutDownIsToldAfterThePassWithTheSystemsWords) {
    const std::string off = AddOnce("off", "9:05:00", data::kEventShutDown);
    scheduler.RebuildRunTable();
    ports.failing["shut down"] = {RunOutcome::kRefused, "ShutDown",
                                  "logind refused PowerOff: blocked by backup (copying)"};
    FirePlainTimerAt({2025, 3, 7, 9, 5, 0, 0});
    EXPECT_EQ(ports.events,
              (std::vector<RunEvent>{Event(off, "off", "2025-3-7-9-5-0", "ShutDown", RunOutcome::kRefused,
                                           "logind refused PowerOff: blocked by backup (copying)")}));
}

// The shut-down waits for the end of the pass; a macro that cannot start ends the pass and the shut-down
// with it, so the history must not have called it done. The other actions of its row did run.
TEST_F(RunHistoryTest, AShutDownCutShortByAFailureLaterInThePassIsToldAsNotRun) {
    const std::string off = AddOnce("off", "9:05:00", [](data::TaskRecord& t) {
        t.event = data::kEventShutDown;
        t.message = "bye";
    });
    const std::string keys = AddOnce("keys", "9:05:00", [](data::TaskRecord& t) { t.macro = "/gone.mco"; });
    scheduler.RebuildRunTable();
    ports.macroStarts = false;
    FirePlainTimerAt({2025, 3, 7, 9, 5, 0, 0});
    EXPECT_EQ(std::count(ports.log.begin(), ports.log.end(), "shut down"), 0);
    EXPECT_EQ(ports.events,
              (std::vector<RunEvent>{Event(off, "off", "2025-3-7-9-5-0", "Message", RunOutcome::kRan),
                                     Event(keys, "keys", "2025-3-7-9-5-0", "Macro", RunOutcome::kFailed,
                                           "the macro file cannot be read: /gone.mco"),
                                     Event(off, "off", "2025-3-7-9-5-0", "ShutDown", RunOutcome::kSkipped,
                                           "cancelled: the macro of task \"keys\" did not start")}));

    // Without the failure it runs, and only then is it told as ran.
    ports.events.clear();
    ports.macroStarts = true;
    store.DeleteTask(keys);
    const std::string later = AddOnce("later", "9:10:00", data::kEventShutDown);
    scheduler.RebuildRunTable();
    FirePlainTimerAt({2025, 3, 7, 9, 10, 0, 0});
    EXPECT_EQ(std::count(ports.log.begin(), ports.log.end(), "shut down"), 1);
    EXPECT_EQ(ports.events, (std::vector<RunEvent>{
                                Event(later, "later", "2025-3-7-9-10-0", "ShutDown", RunOutcome::kRan)}));
}

// A macro that does not start ends the moment's run: the tasks after it are told as not run, and the
// wake waiter handing the same key over afterwards does not run them after all.
TEST_F(RunHistoryTest, TasksLeftByAMacroThatDidNotStartAreToldAndStayNotRun) {
    const std::string keys = AddOnce("keys", "9:05:00", [](data::TaskRecord& t) { t.macro = "/m.mco"; });
    const std::string after = AddOnceLaunching("after", "9:05:00", "/bin/after");
    const std::string wakes = AddOnce("wakes", "9:05:00", data::kEventWakeOnly);
    scheduler.RebuildRunTable();
    ports.macroStarts = false;
    ports.macroRefusal = "this desktop lets no program send keys";
    clock.set({2025, 3, 7, 9, 5, 0, 0});
    ASSERT_TRUE(timers.timer("pcwake2")->fire());
    FirePlainTimerAt({2025, 3, 7, 9, 5, 0, 100});
    scheduler.doWakeTimer();
    const std::string notRun = "not run: the macro of task \"keys\" did not start";
    EXPECT_EQ(ports.events,
              (std::vector<RunEvent>{
                  Event(keys, "keys", "2025-3-7-9-5-0", "Macro", RunOutcome::kFailed,
                        "the macro was not played: this desktop lets no program send keys"),
                  Event(after, "after", "2025-3-7-9-5-0", "Launch", RunOutcome::kSkipped, notRun),
                  Event(wakes, "wakes", "2025-3-7-9-5-0", "", RunOutcome::kSkipped, notRun)}));
    EXPECT_EQ(std::count(ports.log.begin(), ports.log.end(), "launch /bin/after"), 0);
}

// Two tasks of one moment asking for the same power action get it once, for the later one; the earlier
// one says so. An action that throws is told as failed and does not keep the next one from running.
TEST_F(RunHistoryTest, APowerActionAskedTwiceIsToldForBothAndOneThatThrowsForItself) {
    const std::string first = AddOnce("first", "9:05:00", data::kEventStandBy);
    const std::string second = AddOnce("second", "9:05:00", data::kEventStandBy);
    const std::string off = AddOnce("off", "9:05:00", data::kEventShutDown);
    scheduler.RebuildRunTable();
    ports.throwing = "stand by";
    EXPECT_THROW(FirePlainTimerAt({2025, 3, 7, 9, 5, 0, 0}), std::runtime_error);
    EXPECT_EQ(std::count(ports.log.begin(), ports.log.end(), "shut down"), 1);
    EXPECT_EQ(ports.events, (std::vector<RunEvent>{
                                Event(first, "first", "2025-3-7-9-5-0", "StandBy", RunOutcome::kSkipped,
                                      "left to task \"second\", due at the same moment with the same action"),
                                Event(second, "second", "2025-3-7-9-5-0", "StandBy", RunOutcome::kFailed,
                                      "stand by failed"),
                                Event(off, "off", "2025-3-7-9-5-0", "ShutDown", RunOutcome::kRan)}));
}

TEST_F(RunHistoryTest, AConfirmationIsOpenedWithItsKeyAndAKeyKeptTooLongBehindItIsSkippedOnce) {
    const std::string asks = AddOnceLaunching("asks", "9:05:00", "/bin/asks", 30);
    const std::string behind = AddOnceLaunching("behind", "9:05:30", "/bin/behind");
    scheduler.RebuildRunTable();
    ports.onReminder = [&](const ReminderRequest&) {
        // The next task's timer fires while the user looks at the window for two minutes.
        clock.set({2025, 3, 7, 9, 5, 30, 0});
        ASSERT_TRUE(timers.timer("nowake2")->fire());
        scheduler.doNoWakeTimer();
        clock.set({2025, 3, 7, 9, 7, 0, 0});
    };
    FirePlainTimerAt({2025, 3, 7, 9, 5, 0, 0});
    ASSERT_EQ(ports.reminders.size(), 1u);
    EXPECT_EQ(ports.reminders[0].dueKey, "2025-3-7-9-5-0");
    EXPECT_EQ(ports.events, (std::vector<RunEvent>{Event(asks, "asks", "2025-3-7-9-5-0", "Launch",
                                                         RunOutcome::kConfirmationOpened, "count-down 30 s"),
                                                   Event(behind, "behind", "2025-3-7-9-5-30", "Launch",
                                                         RunOutcome::kSkipped, "too late")}));
    // Later rebuilds (the poll's, an edit's) do not tell of it again.
    clock.set({2025, 3, 7, 9, 8, 0, 0});
    scheduler.RebuildRunTable();
    EXPECT_EQ(ports.events.size(), 2u);
}

// Both waiters hand the same key over when a wake-up task shares the moment; the second copy waits behind
// the confirmation and is late by then. The tasks of that key ran: nothing of them is called skipped.
TEST_F(RunHistoryTest, AKeyThatComesBackLateAfterItsTasksRanTellsNothingMore) {
    const std::string asks = AddOnceLaunching("asks", "9:05:00", "/bin/asks", 30);
    const std::string wakes = AddOnce("wakes", "9:05:00", data::kEventWakeOnly);
    scheduler.RebuildRunTable();
    ports.onReminder = [&](const ReminderRequest&) {
        scheduler.doWakeTimer();             // the wake waiter's hand-over of the same key comes meanwhile
        clock.set({2025, 3, 7, 9, 7, 0, 0}); // the user answers two minutes later
    };
    clock.set({2025, 3, 7, 9, 5, 0, 0});
    ASSERT_TRUE(timers.timer("pcwake2")->fire());
    FirePlainTimerAt({2025, 3, 7, 9, 5, 0, 100});
    ASSERT_EQ(ports.reminders.size(), 1u);
    for (const RunEvent& e : ports.events)
        EXPECT_NE(e.outcome, RunOutcome::kSkipped) << "task " << e.taskId << ": " << e.reason;
}

TEST_F(RunHistoryTest, AMomentTheClockJumpedOverIsSkippedOnceAndOneSleptThroughSaysSo) {
    const std::string jumped = AddOnceLaunching("jumped", "9:05:00", "/bin/jumped");
    scheduler.RebuildRunTable();
    clock.set({2025, 3, 7, 9, 0, 10, 0});
    scheduler.tmr302Timer(); // a normal tick
    EXPECT_TRUE(ports.events.empty());
    clock.set({2025, 3, 7, 9, 20, 0, 0}); // the user sets the clock forward; the timer's firing is not due
    scheduler.tmr302Timer();
    clock.set({2025, 3, 7, 9, 20, 10, 0});
    scheduler.tmr302Timer();
    EXPECT_EQ(ports.events, (std::vector<RunEvent>{Event(jumped, "jumped", "2025-3-7-9-5-0", "Launch",
                                                         RunOutcome::kSkipped, "the clock jumped")}));

    ports.events.clear();
    const std::string slept = AddOnceLaunching("slept", "10:00:00", "/bin/slept");
    const std::string wakes = AddOnce("wakes", "10:30:00", data::kEventWakeOnly);
    scheduler.RebuildRunTable();
    clock.set({2025, 3, 7, 11, 0, 0, 0}); // back from sleep
    scheduler.NoteResume();
    scheduler.tmr302Timer();
    EXPECT_EQ(ports.events, (std::vector<RunEvent>{Event(slept, "slept", "2025-3-7-10-0-0", "Launch",
                                                         RunOutcome::kSkipped, "the computer was asleep"),
                                                   Event(wakes, "wakes", "2025-3-7-10-30-0", "",
                                                         RunOutcome::kSkipped, "the computer was asleep")}));
}

TEST_F(RunHistoryTest, AWakeUpStillWithinItsMinuteIsNotCalledSkipped) {
    AddOnce("waking", "9:05:00", data::kEventWakeOnly);
    scheduler.RebuildRunTable();
    clock.set({2025, 3, 7, 9, 5, 40, 0}); // the wake timer's firing may still be on its way
    scheduler.RebuildRunTable();
    EXPECT_TRUE(ports.events.empty());
}

// A rebuild from outside (the command line, a change to the file) must wait while a confirmation is open:
// the pass goes on walking the table row by row once it closes.
TEST_F(RunHistoryTest, ThePassHoldsTheTableWhileItsConfirmationIsOpen) {
    AddOnceLaunching("asks", "9:05:00", "/bin/true", 30);
    scheduler.RebuildRunTable();
    std::vector<bool> heldWhileOpen;
    ports.onReminder = [&](const ReminderRequest&) { heldWhileOpen.push_back(scheduler.PassRunning()); };
    EXPECT_FALSE(scheduler.PassRunning());
    FirePlainTimerAt({2025, 3, 7, 9, 5, 0, 200});
    EXPECT_EQ(heldWhileOpen, std::vector<bool>{true});
    EXPECT_FALSE(scheduler.PassRunning()) << "free again once the pass has ended";
}

TEST_F(RunHistoryTest, AHotkeyPressLeavesAnEntryWithoutDueKeyAndAnUnreadableMacroIsAFailure) {
    TaskRow row{};
    row.Set(kColId, "7");
    row.Set(kColTitle, "keys");
    row.Set(kColDateMode, "0");
    row.Set(kColEvent, "0");
    row.Set(kColLaunch, "/bin/x");
    scheduler.DispatchHotkeyTask("7", {row});
    row.Set(kColMacro, "/gone.mco");
    ports.macroStarts = false;
    scheduler.DispatchHotkeyTask("7", {row});
    EXPECT_EQ(ports.events, (std::vector<RunEvent>{Event("7", "keys", "", "Launch", RunOutcome::kRan),
                                                   Event("7", "keys", "", "Macro", RunOutcome::kFailed,
                                                         "the macro file cannot be read: /gone.mco")}));
}

TEST(RunHistorySinks, TheHistoryKeepsTheOutcomeWordAndTheLogNamesOnlyWhatDidNotRun) {
    platform::fake::FakeRunHistory history([] { return std::int64_t{42}; });
    platform::fake::RecordingLog log;
    RunHistorySink historySink(history);
    NotRunLog notRunLog(log);
    RunEventFanOut both;
    both.Add(historySink);
    both.Add(notRunLog);
    both.Record({"3", "t", "2025-3-7-9-5-0", "Launch", RunOutcome::kRan, ""});
    both.Record({"3", "t", "2025-3-7-9-6-0", "Launch", RunOutcome::kSkipped, "too late"});
    both.Record({"", "", "2025-3-7-9-7-0", "", RunOutcome::kSkipped, "not due (the clock was set back)"});
    ASSERT_EQ(history.written().size(), 3u);
    EXPECT_EQ(history.written()[0],
              (platform::HistoryEntry{42, "3", "t", "2025-3-7-9-5-0", "Launch", "ran", ""}));
    EXPECT_EQ(history.written()[1].outcome, "skipped");
    EXPECT_EQ(log.lines(),
              (std::vector<std::string>{
                  "task 3 due at 2025-3-7-9-6-0 was not run (too late)",
                  "the tasks due at 2025-3-7-9-7-0 were not run (not due (the clock was set back))"}));
    for (RunOutcome o : {RunOutcome::kRan, RunOutcome::kFailed, RunOutcome::kPassed, RunOutcome::kPostponed,
                         RunOutcome::kSkipped, RunOutcome::kRefused, RunOutcome::kConfirmationOpened,
                         RunOutcome::kConfirmationEnded})
        EXPECT_EQ(OutcomeOfWord(OutcomeWord(o)), o);
}

} // namespace
} // namespace orvanta::scheduler
