#include "data/error.h"
#include "data/sqlite_connection.h"
#include "data/task_store.h"
#include "platform/fake/fake_clock.h"
#include "platform/fake/fake_wake_timer.h"
#include "scheduler/scheduler.h"
#include "tests/support/recording_ports.h"
#include "tests/support/temp_folder.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace orvanta::scheduler {
namespace {

using platform::LocalDateTime;
using Log = std::vector<std::string>;

class SchedulerTest : public ::testing::Test {
  protected:
    test::TempFolder folder;
    platform::fake::FakeClock clock{{2025, 3, 7, 9, 0, 0, 0}};
    data::TaskStore store{folder.file("task.db"), clock};
    i18n::EnglishTextLookup text;
    platform::fake::FakeWakeTimerFactory timers;
    test::RecordingPorts ports;
    int ac = 1;
    Scheduler scheduler{{store, clock, text, timers, ports, ports, ports, ports, [this] { return ac; },
                         [this] { ports.log.push_back("battery warning"); }, [] { return false; }, ports}};

    void SetUp() override { store.EnsureTaskTable(); }

    std::string AddOnce(const std::string& title, const std::string& time, const std::string& launch,
                        int event = 0) {
        data::TaskRecord t;
        t.title = title;
        t.dateMode = data::kOnce;
        t.year = 2025;
        t.month = 3;
        t.day = 7;
        t.time = time;
        t.endTime = "23:59:59";
        t.launch = launch;
        t.event = event;
        return store.InsertTask(t);
    }
};

TEST_F(SchedulerTest, ATaskRunsOnceFromItsTimerAndTheTimersMoveOn) {
    AddOnce("first", "9:05:00", "/bin/first");
    AddOnce("wake", "9:10:00", "/bin/wake", data::kEventWakeAndRun);
    scheduler.RebuildRunTable();
    EXPECT_EQ(timers.timer("nowake2")->armed()->at, (LocalDateTime{2025, 3, 7, 9, 5, 0, 0}));
    EXPECT_EQ(timers.timer("pcwake2")->armed()->at, (LocalDateTime{2025, 3, 7, 9, 10, 0, 0}));

    clock.set({2025, 3, 7, 9, 5, 0, 3});
    ASSERT_TRUE(timers.timer("nowake2")->fire());
    scheduler.doNoWakeTimer();
    scheduler.doNoWakeTimer(); // a stray second hand-over has no key left, and leaves the poll on
    EXPECT_EQ(ports.log,
              (Log{"poll off", "doNoWake", "poll off", "launch /bin/first", "poll on", "poll on"}));
    EXPECT_FALSE(timers.timer("nowake2")->armed()); // nothing else waits without a wake-up
    EXPECT_EQ((*scheduler.current().table.displayRows)[0][kDispStatus], kStatusWaiting);
    EXPECT_FALSE(scheduler.state().dispatchBusy);
}

TEST_F(SchedulerTest, ADamagedRowIsReportedAfterThePassHasRunTheOthers) {
    AddOnce("good", "9:05:00", "/bin/good");
    const std::string bad = AddOnce("bad", "9:05:00", "/bin/bad");
    {
        data::SqliteConnection db(store.path());
        db.execute("UPDATE tasklist SET Title=\"4ZZZ\" WHERE id=" + bad + ";");
    }
    EXPECT_THROW(scheduler.RebuildRunTable(), Error);
    ASSERT_TRUE(timers.timer("nowake2")->armed()); // the good task is armed all the same

    clock.set({2025, 3, 7, 9, 5, 0, 0});
    timers.timer("nowake2")->fire();
    ports.log.clear();
    try {
        scheduler.doNoWakeTimer();
        FAIL() << "the damaged row was not reported";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find(bad), std::string::npos) << e.what();
    }
    EXPECT_EQ(ports.log, (Log{"poll off", "launch /bin/good", "poll on"}));
}

TEST_F(SchedulerTest, ThePollRebuildsOnAClockJumpAndWarnsOnBattery) {
    AddOnce("later", "11:00:00", "/bin/later");
    scheduler.RebuildRunTable();
    clock.set({2025, 3, 7, 9, 0, 10, 0});
    scheduler.tmr302Timer();
    EXPECT_EQ(timers.timer("nowake2")->history().size(), 2u); // cancel + arm of the one rebuild

    store.DeleteAllTimedTasks();
    ac = 0;
    clock.set({2025, 3, 7, 10, 0, 0, 0}); // back from an hour of sleep
    scheduler.tmr302Timer();
    EXPECT_FALSE(timers.timer("nowake2")->armed());
    EXPECT_EQ(ports.log, (Log{"battery warning"}));
}

std::string AddDaily(data::TaskStore& store, const std::string& time, const std::string& launch, bool wakes) {
    data::TaskRecord t;
    t.title = launch;
    t.dateMode = data::kDaily;
    t.time = time;
    t.endTime = "23:59:59";
    t.launch = launch;
    t.event = wakes ? data::kEventWakeAndRun : data::kEventNone;
    return store.InsertTask(t);
}

int Count(const Log& log, const std::string& line) {
    return static_cast<int>(std::count(log.begin(), log.end(), line));
}

TEST_F(SchedulerTest, TwoTasksInOneSecondRunOnceAndNothingLaterRunsEarly) {
    AddDaily(store, "9:05:00", "/bin/wake-now", true);
    AddDaily(store, "9:05:00", "/bin/plain-now", false);
    AddDaily(store, "11:05:00", "/bin/wake-later", true);
    AddDaily(store, "12:05:00", "/bin/plain-later", false);
    scheduler.RebuildRunTable();
    clock.set({2025, 3, 7, 9, 5, 0, 0});
    ASSERT_TRUE(timers.timer("nowake2")->fire());
    ASSERT_TRUE(timers.timer("pcwake2")->fire());
    clock.set({2025, 3, 7, 9, 5, 0, 500});
    scheduler.doNoWakeTimer(); // the first pass re-arms both timers for the later tasks
    scheduler.doWakeTimer();   // the second hand-over brings the key its own timer fired for
    EXPECT_EQ(Count(ports.log, "launch /bin/wake-now"), 1);
    EXPECT_EQ(Count(ports.log, "launch /bin/plain-now"), 1);
    EXPECT_EQ(Count(ports.log, "launch /bin/wake-later"), 0);
    EXPECT_EQ(Count(ports.log, "launch /bin/plain-later"), 0);
    EXPECT_EQ(timers.timer("pcwake2")->armed()->at, (LocalDateTime{2025, 3, 7, 11, 5, 0, 0}));
    EXPECT_EQ(timers.timer("nowake2")->armed()->at, (LocalDateTime{2025, 3, 7, 12, 5, 0, 0}));
    EXPECT_EQ(ports.log.back(), "poll on");
}

TEST_F(SchedulerTest, ARebuildInsideTheHandOverNeitherLosesTheDueTaskNorRunsTheNext) {
    AddDaily(store, "9:05:00", "/bin/now", false);
    AddDaily(store, "13:00:00", "/bin/later", false);
    scheduler.RebuildRunTable();
    clock.set({2025, 3, 7, 9, 5, 0, 0});
    ASSERT_TRUE(timers.timer("nowake2")->fire());
    clock.set({2025, 3, 7, 9, 5, 0, 200});
    scheduler.RebuildRunTable(); // an unrelated task saved: the daily task has moved on to tomorrow
    clock.set({2025, 3, 7, 9, 5, 0, 500});
    scheduler.doNoWakeTimer();
    EXPECT_EQ(Count(ports.log, "launch /bin/now"), 1);
    EXPECT_EQ(Count(ports.log, "launch /bin/later"), 0);
}

TEST_F(SchedulerTest, AFailedRebuildAtTheEndOfAPassLeavesThePollOnAndIsRetried) {
    AddOnce("now", "9:05:00", "/bin/now");
    AddOnce("later", "9:30:00", "/bin/later");
    scheduler.RebuildRunTable();
    clock.set({2025, 3, 7, 9, 5, 0, 0});
    ASSERT_TRUE(timers.timer("nowake2")->fire());
    clock.set({2025, 3, 7, 9, 5, 0, 500});
    {
        data::SqliteConnection locker(store.path()); // the launched program holds the file
        locker.execute("BEGIN EXCLUSIVE;");
        EXPECT_THROW(scheduler.doNoWakeTimer(), Error);
        locker.execute("COMMIT;");
    }
    EXPECT_EQ(Count(ports.log, "launch /bin/now"), 1);
    EXPECT_EQ(ports.log.back(), "poll on");
    EXPECT_TRUE(scheduler.state().rebuildFailed);
    clock.set({2025, 3, 7, 9, 5, 10, 500}); // a normal 10-second gap: retried all the same
    scheduler.tmr302Timer();
    EXPECT_FALSE(scheduler.state().rebuildFailed);
    EXPECT_EQ(timers.timer("nowake2")->armed()->at, (LocalDateTime{2025, 3, 7, 9, 30, 0, 0}));
}

TEST_F(SchedulerTest, TheClockSetBackOverARunTaskRunsNothingTwiceAndStaysArmed) {
    AddDaily(store, "9:05:00", "/bin/daily", false);
    AddOnce("later", "10:00:00", "/bin/later");
    scheduler.RebuildRunTable();
    clock.set({2025, 3, 7, 9, 5, 0, 0});
    timers.timer("nowake2")->fire();
    clock.set({2025, 3, 7, 9, 5, 0, 500});
    scheduler.doNoWakeTimer();
    clock.set({2025, 3, 7, 9, 0, 0, 0}); // the user sets the clock back
    scheduler.tmr302Timer();
    EXPECT_EQ(timers.timer("nowake2")->armed()->at, (LocalDateTime{2025, 3, 7, 9, 5, 0, 0}));
    clock.set({2025, 3, 7, 9, 5, 0, 0});
    timers.timer("nowake2")->fire();
    clock.set({2025, 3, 7, 9, 5, 0, 500});
    scheduler.doNoWakeTimer();
    EXPECT_EQ(Count(ports.log, "launch /bin/daily"), 1);
    // Not deaf: the later task of the day is armed and the poll runs.
    EXPECT_EQ(timers.timer("nowake2")->armed()->at, (LocalDateTime{2025, 3, 7, 10, 0, 0, 0}));
    EXPECT_EQ(ports.log.back(), "poll on");
}

TEST_F(SchedulerTest, ARebuildAtTheMomentItselfHandsOverTheFiringItCancels) {
    AddOnce("now", "9:05:00", "/bin/now");
    AddOnce("later", "9:30:00", "/bin/later");
    scheduler.RebuildRunTable();
    // The moment has come, but a task saved in that very millisecond rebuilds before the timer's
    // firing is delivered: the re-arming must not swallow it.
    clock.set({2025, 3, 7, 9, 5, 0, 0});
    scheduler.RebuildRunTable();
    EXPECT_EQ(timers.timer("nowake2")->armed()->at, (LocalDateTime{2025, 3, 7, 9, 30, 0, 0}));
    clock.set({2025, 3, 7, 9, 5, 0, 500});
    scheduler.doNoWakeTimer();
    EXPECT_EQ(Count(ports.log, "launch /bin/now"), 1);
    EXPECT_EQ(Count(ports.log, "launch /bin/later"), 0);
}

TEST_F(SchedulerTest, AWakeUpAcceptedAMinuteLateIsNotDroppedByItsPass) {
    AddOnce("wake", "9:05:00", "/bin/wake", data::kEventWakeAndRun);
    scheduler.RebuildRunTable();
    clock.set({2025, 3, 7, 9, 5, 59, 700}); // a slow resume, still inside the wake window
    ASSERT_TRUE(timers.timer("pcwake2")->fire());
    clock.set({2025, 3, 7, 9, 6, 0, 400}); // the hand-over, half a second and more later
    scheduler.doWakeTimer();
    EXPECT_EQ(Count(ports.log, "launch /bin/wake"), 1);
}

TEST_F(SchedulerTest, ADatabaseThatStaysLockedIsReportedOnceNotAtEveryPoll) {
    AddOnce("later", "11:00:00", "/bin/later");
    data::SqliteConnection locker(store.path());
    locker.execute("BEGIN EXCLUSIVE;");
    clock.set({2025, 3, 7, 9, 0, 30, 0}); // a jump: the poll rebuilds, and cannot
    EXPECT_THROW(scheduler.tmr302Timer(), Error);
    for (int tick = 1; tick <= 4; ++tick) {
        clock.set({2025, 3, 7, 9, 0, 30 + tick * 10, 0});
        EXPECT_NO_THROW(scheduler.tmr302Timer()) << "tick " << tick;
    }
    locker.execute("COMMIT;");
    clock.set({2025, 3, 7, 9, 1, 20, 0});
    scheduler.tmr302Timer(); // retried and done
    EXPECT_FALSE(scheduler.state().rebuildFailed);
    EXPECT_EQ(timers.timer("nowake2")->armed()->at, (LocalDateTime{2025, 3, 7, 11, 0, 0, 0}));
}

} // namespace
} // namespace orvanta::scheduler
