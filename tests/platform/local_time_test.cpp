#include "platform/linux/local_time.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <string>
#include <time.h>

namespace orvanta::platform::linux_backend {
namespace {

// UTC seconds of a date and time.
time_t Utc(int year, int month, int day, int hour, int minute, int second) {
    tm fields{};
    fields.tm_year = year - 1900;
    fields.tm_mon = month - 1;
    fields.tm_mday = day;
    fields.tm_hour = hour;
    fields.tm_min = minute;
    fields.tm_sec = second;
    return timegm(&fields);
}

// Central European rules written out, so the test needs no zone database.
class LocalTimeInZone : public ::testing::Test {
  protected:
    void SetUp() override {
        if (const char* tz = getenv("TZ")) saved_ = tz;
        hadTz_ = getenv("TZ") != nullptr;
        setenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3", 1);
        tzset();
    }
    void TearDown() override {
        if (hadTz_)
            setenv("TZ", saved_.c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }

  private:
    std::string saved_;
    bool hadTz_ = false;
};

TEST_F(LocalTimeInZone, UsesTheDaylightSavingRuleOfTheDateItself) {
    // Whatever today's offset is, a summer date is an hour further from UTC than a winter date.
    const auto summer = LocalToRealtime({2025, 7, 1, 12, 0, 0, 250});
    ASSERT_TRUE(summer);
    EXPECT_EQ(summer->tv_sec, Utc(2025, 7, 1, 10, 0, 0));
    EXPECT_EQ(summer->tv_nsec, 250000000L);

    const auto winter = LocalToRealtime({2025, 1, 9, 7, 5, 0, 0});
    ASSERT_TRUE(winter);
    EXPECT_EQ(winter->tv_sec, Utc(2025, 1, 9, 6, 5, 0));

    // On the autumn change day, 01:59:59 is still summer time and 03:00:00 already winter time.
    const auto lastSummer = LocalToRealtime({2025, 10, 26, 1, 59, 59, 0});
    const auto firstWinter = LocalToRealtime({2025, 10, 26, 3, 0, 0, 0});
    ASSERT_TRUE(lastSummer && firstWinter);
    EXPECT_EQ(firstWinter->tv_sec - lastSummer->tv_sec, 3600 + 1 + 3600);
}

TEST_F(LocalTimeInZone, RefusesMomentsOutsideTheCalendar) {
    EXPECT_TRUE(LocalToRealtime({2024, 2, 29, 0, 0, 0, 0}));
    EXPECT_TRUE(LocalToRealtime({2025, 12, 31, 23, 59, 59, 999}));

    const LocalDateTime outside[] = {
        {2023, 2, 29, 0, 0, 0, 0}, {2100, 2, 29, 0, 0, 0, 0},   {2025, 4, 31, 0, 0, 0, 0},
        {2025, 13, 1, 0, 0, 0, 0}, {2025, 1, 0, 0, 0, 0, 0},    {2025, 1, 1, 24, 0, 0, 0},
        {2025, 1, 1, 0, 0, 60, 0}, {2025, 1, 1, 0, 0, 0, 1000},
    };
    for (std::size_t i = 0; i < std::size(outside); ++i)
        EXPECT_FALSE(LocalToRealtime(outside[i])) << "case " << i;
}

// Real zones from the system's database, each compared with the offsets the zone itself reports.
class LocalTimeInRealZones : public ::testing::Test {
  protected:
    void Use(const char* zone) {
        setenv("TZ", zone, 1);
        tzset();
    }
    void TearDown() override {
        unsetenv("TZ");
        tzset();
    }
    static std::int64_t Ms(time_t seconds) { return static_cast<std::int64_t>(seconds) * 1000; }
    static std::int64_t At(const LocalDateTime& t) {
        const auto r = LocalToRealtime(t);
        return r ? Ms(r->tv_sec) + r->tv_nsec / 1000000 : -1;
    }
};

TEST_F(LocalTimeInRealZones, RepeatedTimesAreTheirFirstInstanceWhateverWasAskedBefore) {
    struct Case {
        const char* zone;
        LocalDateTime repeated;
        time_t firstUtc;
    } cases[] = {
        {"Europe/Berlin", {2026, 10, 25, 2, 30, 0, 0}, 0},
        {"America/New_York", {2026, 11, 1, 1, 30, 0, 0}, 0},
        {"Australia/Lord_Howe", {2026, 4, 5, 1, 45, 0, 0}, 0},
    };
    cases[0].firstUtc = Utc(2026, 10, 25, 0, 30, 0);
    cases[1].firstUtc = Utc(2026, 11, 1, 5, 30, 0);
    cases[2].firstUtc = Utc(2026, 4, 4, 14, 45, 0); // still +11:00 at its first 1:45
    for (const Case& c : cases) {
        Use(c.zone);
        // mktime's answer for a repeated time used to follow the daylight-saving state of its last call.
        const std::int64_t afterWinter = (At({2026, 1, 15, 12, 0, 0, 0}), At(c.repeated));
        const std::int64_t afterSummer = (At({2026, 7, 15, 12, 0, 0, 0}), At(c.repeated));
        EXPECT_EQ(afterWinter, Ms(c.firstUtc)) << c.zone;
        EXPECT_EQ(afterSummer, Ms(c.firstUtc)) << c.zone;
    }
}

TEST_F(LocalTimeInRealZones, SkippedTimesAreTheFirstMomentAfterTheGap) {
    Use("Europe/Berlin");
    const std::int64_t gapEnd = Ms(Utc(2026, 3, 29, 1, 0, 0)); // 3:00 summer time
    EXPECT_EQ(At({2026, 3, 29, 2, 0, 0, 0}), gapEnd);
    EXPECT_EQ(At({2026, 3, 29, 2, 30, 0, 0}), gapEnd);
    EXPECT_EQ(At({2026, 3, 29, 3, 0, 0, 0}), gapEnd);
    EXPECT_EQ(At({2026, 3, 29, 1, 59, 59, 0}), gapEnd - 1000);
    Use("Australia/Lord_Howe"); // a half-hour change: 2:00 becomes 2:30
    const std::int64_t lhEnd = Ms(Utc(2026, 10, 3, 15, 30, 0));
    EXPECT_EQ(At({2026, 10, 4, 2, 15, 0, 0}), lhEnd);
    EXPECT_EQ(At({2026, 10, 4, 2, 30, 0, 0}), lhEnd);
    Use("Asia/Tokyo");
    EXPECT_EQ(At({2026, 3, 29, 2, 30, 0, 0}), Ms(Utc(2026, 3, 28, 17, 30, 0)));
}

TEST_F(LocalTimeInRealZones, EveryWallTimeOfAYearResolvesToAMomentThatShowsIt) {
    // Every quarter hour of 2026 in three zones: the moment shows the same wall time (or, in a gap, is
    // the change itself), and later wall times never resolve to earlier moments.
    for (const char* zone : {"Europe/Berlin", "America/New_York", "Australia/Lord_Howe"}) {
        Use(zone);
        std::int64_t previous = 0;
        for (std::int64_t wall = WallMilliseconds({2026, 1, 1, 0, 0, 0, 0});
             wall < WallMilliseconds({2027, 1, 1, 0, 0, 0, 0}); wall += 15 * 60'000) {
            const std::int64_t utc = wallToUtcMs(wall);
            const std::int64_t shown = utc + utcOffsetMs(utc);
            if (shown != wall) {
                // Only a skipped time moves, forward, onto the moment the clock changed.
                EXPECT_GT(shown, wall) << zone;
                EXPECT_NE(utcOffsetMs(utc - 1), utcOffsetMs(utc)) << zone;
            }
            EXPECT_GE(utc, previous) << zone;
            previous = utc;
        }
    }
}

} // namespace
} // namespace orvanta::platform::linux_backend
