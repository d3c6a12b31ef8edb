#include "platform/fake/fake_clock.h"
#include "scheduler/poll_tick.h"
#include "scheduler/wake_keys.h"
#include "tests/support/display_rows_of.h"

#include <gtest/gtest.h>

namespace orvanta::scheduler {
namespace {

using platform::LocalDateTime;

test::DisplayCells Shown(const std::string& status, const std::string& enabled, const std::string& key,
                         bool wake) {
    test::DisplayCells r{};
    r[kDispText] = "text";
    r[kDispStatus] = status;
    r[kDispEnabled] = enabled;
    r[kDispDueKey] = key;
    r[kDispWakeKey] = wake ? key : "";
    return r;
}

TEST(WakeKeys, TheSoonestQualifyingShownRowIsChosenPerTimer) {
    const DisplayRows rows = test::DisplayRowsOf(
        {Shown("Waiting", "0", "2025-3-7-9-0-0", true), Shown("Passed", "1", "2025-3-7-8-0-0", false),
         Shown("Waiting", "1", "2025-3-7-10-0-0", false), Shown("Waiting", "1", "2025-3-7-11-0-0", true),
         Shown("Waiting", "1", "2025-3-7-12-0-0", false)});
    EXPECT_EQ(SoonestDueKey(rows, rows.size()), "2025-3-7-10-0-0");
    EXPECT_EQ(SoonestWakeKey(rows, rows.size()), "2025-3-7-11-0-0");
    // Rows past the task count are never read.
    EXPECT_EQ(SoonestWakeKey(rows, 3), "");
    EXPECT_EQ(SoonestDueKey({}, 5), "");
}

TEST(WakeKeys, ParsesOnlyWellFormedKeys) {
    EXPECT_EQ(ParseDueKey("2025-3-7-9-5-0"), (LocalDateTime{2025, 3, 7, 9, 5, 0, 0}));
    EXPECT_EQ(ParseDueKey("2038-1-19-3-14-8"), (LocalDateTime{2038, 1, 19, 3, 14, 8, 0}));
    for (const char* bad : {"", "2025-3-7-9-5", "2025-3-7-9-5-0-1", "2025-3-7-9-5-x", "2025--3-7-9-5-0"})
        EXPECT_FALSE(ParseDueKey(bad)) << bad;
}

TEST(WakeKeys, ToleranceWindowsCompareWholeMoments) {
    const std::string key = "2025-3-7-7-0-0";
    struct Case {
        int h, m, s;
        bool wake, due;
    } cases[] = {
        {6, 59, 56, false, false}, {6, 59, 57, true, true}, {7, 0, 3, true, true},   {7, 0, 4, true, false},
        {7, 0, 20, true, false},   {7, 0, 59, true, false}, {7, 1, 0, false, false}, {7, 1, 10, false, false},
    };
    for (const auto& c : cases) {
        const LocalDateTime now{2025, 3, 7, c.h, c.m, c.s, 0};
        EXPECT_EQ(WithinWakeWindow(key, now), c.wake) << c.h << ":" << c.m << ":" << c.s;
        EXPECT_EQ(WithinDueWindow(key, now), c.due) << c.h << ":" << c.m << ":" << c.s;
        // The same time of day on another date is not this key's moment.
        const LocalDateTime nextDay{2025, 3, 8, c.h, c.m, c.s, 0};
        EXPECT_FALSE(WithinWakeWindow(key, nextDay));
        EXPECT_FALSE(WithinDueWindow(key, nextDay));
    }
    // 23:59:59 fired two seconds late, across midnight, is still its own moment.
    EXPECT_TRUE(WithinDueWindow("2025-3-7-23-59-59", {2025, 3, 8, 0, 0, 1, 0}));
    EXPECT_TRUE(WithinWakeWindow("2025-3-7-23-59-59", {2025, 3, 8, 0, 0, 1, 0}));
}

TEST(PollTick, GapRuleAndItsBounds) {
    EXPECT_EQ(PollGapSeconds({2025, 3, 7, 9, 0, 0, 900}, {2025, 3, 7, 9, 0, 10, 100}), 9);
    EXPECT_EQ(PollGapSeconds({2025, 12, 31, 23, 59, 55, 0}, {2026, 1, 1, 0, 0, 5, 0}), 10);
    EXPECT_EQ(PollGapSeconds({2025, 3, 7, 9, 0, 10, 0}, {2025, 3, 7, 9, 0, 6, 0}), -4);

    SchedulerState state;
    platform::fake::FakeClock clock{{2025, 3, 7, 9, 0, 0, 0}};
    int rebuilds = 0;
    PollTicker ticker(
        state, clock, [] { return 1; }, [&] { ++rebuilds; }, [] {});
    struct Step {
        int advanceSeconds;
        bool rebuild;
    } steps[] = {{10, false}, {5, false}, {15, false}, {16, true}, {4, true}, {-6, true}, {3600, true}};
    state.MarkPolled(clock);
    long long t = 9 * 3600;
    for (const auto& s : steps) {
        t += s.advanceSeconds;
        clock.set({2025, 3, 7, static_cast<int>(t / 3600), static_cast<int>(t / 60 % 60),
                   static_cast<int>(t % 60), 0});
        const int before = rebuilds;
        EXPECT_EQ(ticker.Tick(), s.rebuild) << "after +" << s.advanceSeconds;
        EXPECT_EQ(rebuilds - before, s.rebuild ? 1 : 0);
        EXPECT_EQ(state.lastPollTime, clock.now());
    }
}

TEST(PollTick, WarnsOncePerChangeFromMainsToBattery) {
    SchedulerState state;
    platform::fake::FakeClock clock{{2025, 3, 7, 9, 0, 0, 0}};
    state.MarkPolled(clock);
    int status = 0; // on battery from the start
    int warnings = 0;
    PollTicker ticker(
        state, clock, [&] { return status; }, [] {}, [&] { ++warnings; });
    ticker.Tick();
    ticker.Tick();
    EXPECT_EQ(warnings, 1);
    status = 255; // unknown counts as mains
    ticker.Tick();
    status = 0;
    ticker.Tick();
    EXPECT_EQ(warnings, 2);
    status = 1;
    ticker.Tick();
    ticker.Tick();
    EXPECT_EQ(warnings, 2);
}

} // namespace
} // namespace orvanta::scheduler
