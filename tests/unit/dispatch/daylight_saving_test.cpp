#include "data/task_store.h"
#include "platform/fake/fake_wake_timer.h"
#include "platform/fake/fake_zone_clock.h"
#include "scheduler/scheduler.h"
#include "tests/support/recording_ports.h"
#include "tests/support/temp_folder.h"

#include <algorithm>
#include <gtest/gtest.h>

// The scheduler across daylight-saving changes, on a clock that knows its zone's rules.
namespace orvanta::scheduler {
namespace {

using platform::LocalDateTime;
constexpr std::int64_t kHour = 3'600'000;

class DaylightSavingTest : public ::testing::Test {
  protected:
    explicit DaylightSavingTest(platform::fake::ZoneRules zone = platform::fake::EuropeBerlin(2026, 2028))
        : clock(std::move(zone), 0) {}

    test::TempFolder folder;
    platform::fake::FakeZoneClock clock;
    data::TaskStore store{folder.file("task.db"), clock};
    i18n::EnglishTextLookup text;
    platform::fake::FakeWakeTimerFactory timers;
    test::RecordingPorts ports;
    Scheduler scheduler{{store, clock, text, timers, ports, ports, ports, ports, [] { return 1; }, [] {},
                         [] { return false; }, ports}};

    void SetUp() override { store.EnsureTaskTable(); }

    void Daily(const std::string& time, const std::string& launch, int loop = 0,
               const std::string& end = "23:59:59") {
        data::TaskRecord t;
        t.title = launch;
        t.dateMode = data::kDaily;
        t.time = time;
        t.loop = loop;
        t.endTime = end;
        t.launch = launch;
        store.InsertTask(t);
    }
    void SetUtc(std::int64_t utcMs) { clock.setUtcMs(utcMs); }
    std::int64_t Utc(int y, int mo, int d, int h, int mi) {
        return platform::WallMilliseconds({y, mo, d, h, mi, 0, 0});
    }
    // The moment the plain timer waits for, as the platform would resolve it.
    std::int64_t ArmedUtc() { return clock.utcMsOf(timers.timer("nowake2")->armed()->at); }
    // Fires the plain timer at its moment and lets the hand-over run half a second later.
    void FireAndHandOver() {
        const std::int64_t at = ArmedUtc();
        SetUtc(at);
        ASSERT_TRUE(timers.timer("nowake2")->fire());
        SetUtc(at + 500);
        scheduler.doNoWakeTimer();
    }
    int Launches(const std::string& what) {
        return static_cast<int>(std::count(ports.log.begin(), ports.log.end(), "launch " + what));
    }
};

TEST_F(DaylightSavingTest, AutumnRunsARepeatedTimeOnceAtItsFirstInstanceAndMovesOn) {
    // Berlin, 31 October 2027: at 3:00 summer time (1:00 UTC) the clocks go back to 2:00.
    Daily("2:30:00", "/bin/half-past-two");
    Daily("2:10:00", "/bin/ten-past-two");
    SetUtc(Utc(2027, 10, 31, 0, 0)); // 2:00 summer time
    scheduler.RebuildRunTable();
    FireAndHandOver(); // 2:10, first instance
    FireAndHandOver(); // 2:30, first instance
    EXPECT_EQ(Launches("/bin/ten-past-two"), 1);
    EXPECT_EQ(Launches("/bin/half-past-two"), 1);

    // In the repeated hour, something rebuilds the table (a task saved, say) at 2:05 winter time.
    SetUtc(Utc(2027, 10, 31, 1, 5));
    scheduler.RebuildRunTable();
    // Nothing of the hour runs again: both wait for tomorrow.
    EXPECT_EQ(ArmedUtc(), Utc(2027, 11, 1, 1, 10)); // 2:10 winter time is 1:10 UTC
    EXPECT_EQ((*scheduler.current().table.displayRows)[0][kDispStatus], kStatusWaiting);
    // The poll does not take the repeated hour for a clock that jumped: no rebuild, no extra arming.
    scheduler.state().MarkPolled(clock);
    const std::size_t armings = timers.timer("nowake2")->history().size();
    for (int tick = 1; tick <= 3; ++tick) {
        SetUtc(Utc(2027, 10, 31, 1, 5) + tick * 10'000);
        scheduler.tmr302Timer();
    }
    EXPECT_EQ(timers.timer("nowake2")->history().size(), armings);
}

TEST_F(DaylightSavingTest, ARebuildAtTheChangeItselfRunsNothingAgainAndArmsTheNextMoment) {
    Daily("2:30:00", "/bin/half-past-two");
    SetUtc(Utc(2027, 10, 31, 0, 29)); // 2:29 summer time
    scheduler.RebuildRunTable();
    FireAndHandOver();                         // 2:30, first instance
    SetUtc(Utc(2027, 10, 31, 0, 59) + 55'000); // 2:59:55 summer time
    scheduler.state().MarkPolled(clock);
    SetUtc(Utc(2027, 10, 31, 1, 0) + 5'000);        // 2:00:05 winter time, ten seconds later
    scheduler.tmr302Timer();                        // the wall clock went back: the poll rebuilds to be sure
    EXPECT_EQ(ArmedUtc(), Utc(2027, 11, 1, 1, 30)); // tomorrow's 2:30, not the second instance
    EXPECT_EQ(Launches("/bin/half-past-two"), 1);
}

TEST_F(DaylightSavingTest, AOnceTaskKeepsItsLaterSlotsWhenRebuiltInTheRepeatedHour) {
    data::TaskRecord t;
    t.title = "once";
    t.dateMode = data::kOnce;
    t.year = 2027, t.month = 10, t.day = 31;
    t.time = "1:00:00";
    t.loop = 30;
    t.endTime = "3:00:00"; // once tasks include their end
    t.launch = "/bin/once";
    store.InsertTask(t);
    SetUtc(Utc(2027, 10, 31, 1, 10)); // 2:10 winter time: 2:30 has gone in its first instance
    scheduler.RebuildRunTable();
    EXPECT_EQ((*scheduler.current().table.displayRows)[0][kDispStatus], kStatusWaiting);
    EXPECT_EQ(ArmedUtc(), Utc(2027, 10, 31, 2, 0)); // 3:00 winter time, which comes only once
}

TEST_F(DaylightSavingTest, SpringRunsTheSkippedHourOnceAtTheFirstMomentAfterTheGap) {
    // Berlin, 28 March 2027: at 2:00 winter time (1:00 UTC) the clocks go on to 3:00.
    Daily("2:30:00", "/bin/in-the-gap");
    Daily("3:00:00", "/bin/three");
    Daily("1:00:00", "/bin/every-20", 20, "4:00:00"); // 1:00, 1:20, ... 3:40
    SetUtc(Utc(2027, 3, 28, 0, 50));                  // 1:50 winter time
    scheduler.RebuildRunTable();
    FireAndHandOver(); // 3:00 summer time: everything of the gap and the first slot after it
    EXPECT_EQ(Launches("/bin/in-the-gap"), 1);
    EXPECT_EQ(Launches("/bin/three"), 1);
    EXPECT_EQ(Launches("/bin/every-20"), 1);
    // Slots that exist are not lost: 3:20 comes next.
    EXPECT_EQ(ArmedUtc(), Utc(2027, 3, 28, 1, 20));
    FireAndHandOver();
    EXPECT_EQ(Launches("/bin/every-20"), 2);
}

class HalfHourChangeTest : public DaylightSavingTest {
  protected:
    HalfHourChangeTest() : DaylightSavingTest(platform::fake::AustraliaLordHowe(2026, 2028)) {}
};

TEST_F(HalfHourChangeTest, AHalfHourGapRunsItsTaskAtTheMomentAfterIt) {
    // Lord Howe, 3 October 2027: at 2:00 (+10:30) the clocks go on to 2:30 (+11:00).
    Daily("2:15:00", "/bin/quarter-past-two");
    Daily("2:45:00", "/bin/quarter-to-three");
    SetUtc(platform::WallMilliseconds({2027, 10, 3, 1, 0, 0, 0}) - 10 * kHour - kHour / 2); // 1:00 there
    scheduler.RebuildRunTable();
    FireAndHandOver();
    EXPECT_EQ(Launches("/bin/quarter-past-two"), 1);
    EXPECT_EQ(clock.now().hour * 60 + clock.now().minute, 2 * 60 + 30);
    FireAndHandOver();
    EXPECT_EQ(Launches("/bin/quarter-to-three"), 1);
    EXPECT_EQ(clock.now().hour * 60 + clock.now().minute, 2 * 60 + 45);
}

} // namespace
} // namespace orvanta::scheduler
