#include "platform/linux/local_time.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <string>
#include <time.h>

namespace orvanta::platform::linux_backend {
namespace {

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

    static time_t utc(int year, int month, int day, int hour, int minute, int second) {
        tm fields{};
        fields.tm_year = year - 1900;
        fields.tm_mon = month - 1;
        fields.tm_mday = day;
        fields.tm_hour = hour;
        fields.tm_min = minute;
        fields.tm_sec = second;
        return timegm(&fields);
    }

  private:
    std::string saved_;
    bool hadTz_ = false;
};

TEST_F(LocalTimeInZone, UsesTheDaylightSavingRuleOfTheDateItself) {
    // Whatever today's offset is, a summer date is an hour further from UTC than a winter date.
    const auto summer = localToRealtime({2025, 7, 1, 12, 0, 0, 250});
    ASSERT_TRUE(summer);
    EXPECT_EQ(summer->tv_sec, utc(2025, 7, 1, 10, 0, 0));
    EXPECT_EQ(summer->tv_nsec, 250000000L);

    const auto winter = localToRealtime({2025, 1, 9, 7, 5, 0, 0});
    ASSERT_TRUE(winter);
    EXPECT_EQ(winter->tv_sec, utc(2025, 1, 9, 6, 5, 0));

    // On the autumn change day, 01:59:59 is still summer time and 03:00:00 already winter time.
    const auto lastSummer = localToRealtime({2025, 10, 26, 1, 59, 59, 0});
    const auto firstWinter = localToRealtime({2025, 10, 26, 3, 0, 0, 0});
    ASSERT_TRUE(lastSummer && firstWinter);
    EXPECT_EQ(firstWinter->tv_sec - lastSummer->tv_sec, 3600 + 1 + 3600);
}

TEST_F(LocalTimeInZone, RefusesMomentsOutsideTheCalendar) {
    EXPECT_TRUE(localToRealtime({2024, 2, 29, 0, 0, 0, 0}));
    EXPECT_TRUE(localToRealtime({2025, 12, 31, 23, 59, 59, 999}));

    const LocalDateTime outside[] = {
        {2023, 2, 29, 0, 0, 0, 0}, {2100, 2, 29, 0, 0, 0, 0},   {2025, 4, 31, 0, 0, 0, 0},
        {2025, 13, 1, 0, 0, 0, 0}, {2025, 1, 0, 0, 0, 0, 0},    {2025, 1, 1, 24, 0, 0, 0},
        {2025, 1, 1, 0, 0, 60, 0}, {2025, 1, 1, 0, 0, 0, 1000},
    };
    for (std::size_t i = 0; i < std::size(outside); ++i)
        EXPECT_FALSE(localToRealtime(outside[i])) << "case " << i;
}

} // namespace
} // namespace orvanta::platform::linux_backend
