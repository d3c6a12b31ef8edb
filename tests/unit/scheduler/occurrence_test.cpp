#include "data/error.h"
#include "data/task_record.h"
#include "scheduler/calendar.h"
#include "scheduler/occurrence.h"
#include "scheduler/time_of_day.h"

#include <gtest/gtest.h>
#include <string>

namespace orvanta::scheduler {
namespace {

using platform::LocalDateTime;

constexpr int Sec(int h, int m, int s = 0) {
    return (h * 60 + m) * 60 + s;
}
constexpr int kEnd = Sec(23, 59, 59);

LocalDateTime T(int y, int mo, int d, int h = 0, int mi = 0, int s = 0, int ms = 0) {
    return {y, mo, d, h, mi, s, ms};
}

Schedule Make(int mode, int start, int loop, int end) {
    Schedule s;
    s.dateMode = mode;
    s.startSecond = start;
    s.loopMinutes = loop;
    s.endSecond = end;
    return s;
}
Schedule Daily(int start, int loop = 0, int end = kEnd) {
    return Make(data::kDaily, start, loop, end);
}
Schedule Once(int y, int m, int d, int start, int loop = 0, int end = kEnd) {
    Schedule s = Make(data::kOnce, start, loop, end);
    s.year = y, s.month = m, s.day = d;
    return s;
}
Schedule Monthly(int d, int start, int loop = 0, int end = kEnd) {
    Schedule s = Make(data::kMonthly, start, loop, end);
    s.day = d;
    return s;
}
Schedule Annually(int m, int d, int start, int loop = 0, int end = kEnd) {
    Schedule s = Make(data::kAnnually, start, loop, end);
    s.month = m, s.day = d;
    return s;
}
// days: seven characters Sunday first, 'x' for a chosen day.
Schedule Weekly(const char* days, int start, int loop = 0, int end = kEnd) {
    Schedule s = Make(data::kWeekly, start, loop, end);
    for (int i = 0; i < 7; ++i)
        s.weekdays[i] = days[i] == 'x';
    return s;
}

struct Case {
    const char* name;
    Schedule schedule;
    LocalDateTime now;
    LocalDateTime expected;
};

// 2025-03-05 is a Wednesday, 2025-03-07 a Friday, 2025-03-08 a Saturday.
const Case kCases[] = {
    {"daily before start", Daily(Sec(7, 30)), T(2025, 3, 7, 7, 29, 59, 999), T(2025, 3, 7, 7, 30)},
    {"daily at the start instant", Daily(Sec(7, 30)), T(2025, 3, 7, 7, 30), T(2025, 3, 7, 7, 30)},
    {"daily one ms after start", Daily(Sec(7, 30)), T(2025, 3, 7, 7, 30, 0, 1), T(2025, 3, 8, 7, 30)},
    {"daily across the year end", Daily(Sec(23, 0)), T(2024, 12, 31, 23, 30), T(2025, 1, 1, 23, 0)},
    {"daily into a leap day", Daily(Sec(22, 0)), T(2024, 2, 28, 23, 0), T(2024, 2, 29, 22, 0)},
    {"daily repeat next slot", Daily(Sec(9, 0), 60, Sec(17, 0)), T(2025, 3, 7, 10, 15), T(2025, 3, 7, 11, 0)},
    {"daily repeat exactly on a slot", Daily(Sec(9, 0), 60, Sec(17, 0)), T(2025, 3, 7, 11, 0),
     T(2025, 3, 7, 12, 0)},
    {"daily repeat end is exclusive", Daily(Sec(9, 0), 60, Sec(17, 0)), T(2025, 3, 7, 16, 30),
     T(2025, 3, 8, 9, 0)},
    {"daily repeat crossing midnight", Daily(Sec(22, 0), 120, kEnd), T(2025, 3, 7, 23, 30),
     T(2025, 3, 8, 22, 0)},
    {"daily repeat end before start", Daily(Sec(9, 0), 10, Sec(8, 0)), T(2025, 3, 7, 9, 5),
     T(2025, 3, 8, 9, 0)},
    {"daily repeat of a day or more", Daily(Sec(0, 0), 1440, kEnd), T(2025, 3, 7, 0, 0, 1),
     T(2025, 3, 8, 0, 0)},
    {"once in the future", Once(2025, 3, 9, Sec(8, 0)), T(2025, 3, 7, 9, 0), T(2025, 3, 9, 8, 0)},
    {"once yesterday is not moved", Once(2025, 3, 6, Sec(8, 0)), T(2025, 3, 7, 9, 0), T(2025, 3, 6, 8, 0)},
    {"once repeat next slot", Once(2025, 3, 7, Sec(10, 0), 30, Sec(12, 0)), T(2025, 3, 7, 10, 45),
     T(2025, 3, 7, 11, 0)},
    {"once repeat end is inclusive", Once(2025, 3, 7, Sec(9, 0), 60, Sec(17, 0)), T(2025, 3, 7, 16, 30),
     T(2025, 3, 7, 17, 0)},
    {"once repeat window over", Once(2025, 3, 7, Sec(10, 0), 30, Sec(12, 0)), T(2025, 3, 7, 12, 10),
     T(2025, 3, 7, 10, 0)},
    {"once on a day the month lacks", Once(2025, 2, 30, Sec(8, 0)), T(2025, 1, 1), T(2025, 2, 28, 8, 0)},
    {"monthly later this month", Monthly(10, Sec(8, 0)), T(2025, 1, 5), T(2025, 1, 10, 8, 0)},
    {"monthly 30th from 31 January", Monthly(30, Sec(8, 0)), T(2025, 1, 31), T(2025, 2, 28, 8, 0)},
    {"monthly 30th from 31 January, leap", Monthly(30, Sec(8, 0)), T(2024, 1, 31), T(2024, 2, 29, 8, 0)},
    {"monthly 31st runs on 30 April", Monthly(31, Sec(8, 0)), T(2025, 4, 30, 7, 0), T(2025, 4, 30, 8, 0)},
    {"monthly 31st after 30 April", Monthly(31, Sec(8, 0)), T(2025, 4, 30, 9, 0), T(2025, 5, 31, 8, 0)},
    {"monthly across the year end", Monthly(15, Sec(8, 0)), T(2025, 12, 20), T(2026, 1, 15, 8, 0)},
    {"monthly repeat today", Monthly(7, Sec(9, 0), 20, Sec(10, 0)), T(2025, 3, 7, 9, 30),
     T(2025, 3, 7, 9, 40)},
    {"annual passed this year", Annually(1, 19, Sec(8, 0)), T(2025, 1, 20), T(2026, 1, 19, 8, 0)},
    {"annual later this year", Annually(12, 24, Sec(18, 0)), T(2025, 3, 7), T(2025, 12, 24, 18, 0)},
    {"annual 29 February, common year", Annually(2, 29, Sec(8, 0)), T(2025, 2, 1), T(2025, 2, 28, 8, 0)},
    {"annual 29 February to a leap year", Annually(2, 29, Sec(8, 0)), T(2027, 3, 1), T(2028, 2, 29, 8, 0)},
    {"annual 29 February from the year before a leap year", Annually(2, 29, Sec(8, 0)), T(2027, 2, 28, 9, 0),
     T(2028, 2, 29, 8, 0)},
    {"annual leap day gone", Annually(2, 29, Sec(8, 0)), T(2024, 2, 29, 9, 0), T(2025, 2, 28, 8, 0)},
    {"annual 31 April", Annually(4, 31, Sec(8, 0)), T(2025, 4, 1), T(2025, 4, 30, 8, 0)},
    {"annual repeat today", Annually(3, 7, Sec(9, 0), 50, kEnd), T(2025, 3, 7, 9, 30), T(2025, 3, 7, 9, 50)},
    {"weekly Monday+Friday on Wednesday", Weekly("-x---x-", Sec(8, 0)), T(2025, 3, 5, 12, 0),
     T(2025, 3, 7, 8, 0)},
    {"weekly Friday after start", Weekly("-x---x-", Sec(8, 0)), T(2025, 3, 7, 9, 0), T(2025, 3, 10, 8, 0)},
    {"weekly on Saturday", Weekly("-x---x-", Sec(8, 0)), T(2025, 3, 8, 9, 0), T(2025, 3, 10, 8, 0)},
    {"weekly only today, time gone", Weekly("---x---", Sec(8, 0)), T(2025, 3, 5, 8, 0, 0, 1),
     T(2025, 3, 12, 8, 0)},
    {"weekly today at the start instant", Weekly("---x---", Sec(8, 0)), T(2025, 3, 5, 8, 0),
     T(2025, 3, 12, 8, 0)},
    {"weekly today before start", Weekly("---x---", Sec(8, 0)), T(2025, 3, 5, 7, 0), T(2025, 3, 5, 8, 0)},
    {"weekly repeat today", Weekly("---x---", Sec(8, 0), 30, Sec(9, 0)), T(2025, 3, 5, 8, 10),
     T(2025, 3, 5, 8, 30)},
    {"weekly Sunday seen from Saturday", Weekly("x------", Sec(8, 0)), T(2025, 3, 8, 9, 0),
     T(2025, 3, 9, 8, 0)},
    {"weekly Saturday seen from Sunday", Weekly("------x", Sec(8, 0)), T(2025, 3, 9, 9, 0),
     T(2025, 3, 15, 8, 0)},
    {"weekly across the month end", Weekly("-x-----", Sec(8, 0)), T(2025, 2, 25), T(2025, 3, 3, 8, 0)},
    {"weekly without a day", Weekly("-------", Sec(8, 0)), T(2025, 3, 1, 9, 0), T(2025, 2, 28, 0, 0)},
};

TEST(NextOccurrence, FollowsTheRuleOfEachKind) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(DueKey(NextOccurrence(c.schedule, c.now)), DueKey(c.expected));
    }
}

TEST(NextOccurrence, RejectsSchedulesThatMakeNoDate) {
    const Schedule bad[] = {Make(0, 0, 0, 0), Make(6, 0, 0, 0), Once(2025, 13, 1, 0), Once(0, 1, 1, 0),
                            Monthly(0, 0),    Monthly(32, 0),   Annually(0, 1, 0),    Annually(2, 40, 0)};
    for (const Schedule& s : bad)
        EXPECT_THROW(NextOccurrence(s, T(2025, 3, 7)), Error);
}

TEST(DueKeyAndSeconds, HaveNoPaddingAndSixtyFourBits) {
    EXPECT_EQ(DueKey(T(2025, 3, 7, 9, 5, 0)), "2025-3-7-9-5-0");
    EXPECT_EQ(DueKey(T(2031, 12, 31, 23, 59, 59)), "2031-12-31-23-59-59");
    EXPECT_EQ(DueSeconds(T(1970, 1, 1)), 0);
    EXPECT_EQ(DueSeconds(T(1969, 12, 31, 23, 59, 59)), -1);
    EXPECT_EQ(DueSeconds(T(2025, 3, 7, 9, 5, 0)), 1741338300);
    EXPECT_EQ(DueSeconds(T(2038, 1, 19, 3, 14, 8)), 2147483648LL);
}

TEST(Calendar, DayNumbersRoundTripAndKeepTheWeek) {
    EXPECT_EQ(WeekdayNumber(DayNumber({2000, 1, 1})), 7);
    EXPECT_EQ(WeekdayNumber(DayNumber({2025, 3, 7})), 6);
    EXPECT_EQ(WeekdayNumber(DayNumber({1969, 12, 28})), 1);
    // Walk day by day with month lengths of the test's own, through two full 400-year cycles.
    auto length = [](int y, int m) {
        const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
        return m == 2 ? (leap ? 29 : 28) : (m == 4 || m == 6 || m == 9 || m == 11) ? 30 : 31;
    };
    Date expected{1600, 1, 1};
    const std::int64_t first = DayNumber(expected);
    for (std::int64_t n = first; n < first + 2 * 146097; ++n) {
        const Date d = DateFromDayNumber(n);
        ASSERT_EQ(d, expected) << n;
        ASSERT_EQ(DayNumber(d), n);
        ASSERT_EQ(DaysInMonth(d.year, d.month), length(d.year, d.month));
        if (expected.day < length(expected.year, expected.month))
            ++expected.day;
        else if (expected.month < 12)
            expected = {expected.year, expected.month + 1, 1};
        else
            expected = {expected.year + 1, 1, 1};
    }
}

TEST(ParseTimeOfDay, AcceptsOnlyTimesOfDay) {
    const struct {
        const char* text;
        int seconds; // -1: rejected
    } cases[] = {{"7:30:00", Sec(7, 30)},
                 {"07:05:09", Sec(7, 5, 9)},
                 {" 23:59:59 ", kEnd},
                 {"0:00:00", 0},
                 {"7:30", Sec(7, 30)},
                 {"24:00:00", -1},
                 {"7:60:00", -1},
                 {"7:30:60", -1},
                 {"", -1},
                 {"7", -1},
                 {"7:30:00:00", -1},
                 {"7:3a:00", -1},
                 {"-1:00:00", -1},
                 {"7:300:00", -1},
                 {"7::00", -1},
                 {"7:30:", -1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const auto parsed = ParseTimeOfDay(c.text);
        EXPECT_EQ(parsed.value_or(-1), c.seconds);
    }
}

} // namespace
} // namespace orvanta::scheduler
