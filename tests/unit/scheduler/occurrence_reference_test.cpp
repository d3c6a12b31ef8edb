// Compares NextOccurrence with a brute-force reading of the rules: walk forward day by day, and on the
// current day try every repeat slot one by one. It shares no code with the scheduler.
#include "data/task_record.h"
#include "scheduler/occurrence.h"

#include <gtest/gtest.h>
#include <optional>
#include <random>
#include <sstream>

namespace orvanta::scheduler {
namespace {

struct Day {
    int y, m, d;
    bool operator==(const Day&) const = default;
};

int MonthLength(int y, int m) {
    static const int kLengths[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = y % 400 == 0 || (y % 4 == 0 && y % 100 != 0);
    return m == 2 && leap ? 29 : kLengths[m - 1];
}

Day Tomorrow(Day x) {
    if (x.d < MonthLength(x.y, x.m)) return {x.y, x.m, x.d + 1};
    return x.m < 12 ? Day{x.y, x.m + 1, 1} : Day{x.y + 1, 1, 1};
}

Day Yesterday(Day x) {
    if (x.d > 1) return {x.y, x.m, x.d - 1};
    return x.m > 1 ? Day{x.y, x.m - 1, MonthLength(x.y, x.m - 1)} : Day{x.y - 1, 12, 31};
}

// Sakamoto's method, Sunday = 0.
int DayOfWeek(Day x) {
    static const int kOffsets[] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
    const int y = x.m < 3 ? x.y - 1 : x.y;
    return (y + y / 4 - y / 100 + y / 400 + kOffsets[x.m - 1] + x.d) % 7;
}

struct Moment {
    Day day;
    int second;
};

// The repeat slots S + L, S + 2L, ... before midnight, tried in turn: the first one after now decides.
// They are only looked at once the start itself has gone.
std::optional<int> RepeatSlot(const Schedule& s, long long nowMs, bool endInclusive) {
    if (s.loopMinutes <= 0 || nowMs <= s.startSecond * 1000LL) return std::nullopt;
    for (long long slot = s.startSecond + s.loopMinutes * 60; slot < 86400; slot += s.loopMinutes * 60) {
        if (slot * 1000 <= nowMs) continue;
        if (slot < s.endSecond || (endInclusive && slot == s.endSecond)) return static_cast<int>(slot);
        return std::nullopt;
    }
    return std::nullopt;
}

bool RunsOn(const Schedule& s, Day x) {
    switch (s.dateMode) {
    case data::kDaily:
        return true;
    case data::kWeekly:
        return s.weekdays[DayOfWeek(x)];
    case data::kMonthly:
        return x.d == std::min(s.day, MonthLength(x.y, x.m));
    default: // annually
        return x.m == s.month && x.d == std::min(s.day, MonthLength(x.y, x.m));
    }
}

Moment Reference(const Schedule& s, const platform::LocalDateTime& now) {
    const Day today{now.year, now.month, now.day};
    const long long t = ((now.hour * 60LL + now.minute) * 60 + now.second) * 1000 + now.millisecond;
    const long long start = s.startSecond * 1000LL;
    if (s.dateMode == data::kOnce) {
        const Day date{s.year, s.month, std::min(s.day, MonthLength(s.year, s.month))};
        if (date == today)
            if (auto slot = RepeatSlot(s, t, true)) return {today, *slot};
        return {date, s.startSecond};
    }
    if (s.dateMode == data::kWeekly && s.weekdays == std::array<bool, 7>{}) return {Yesterday(today), 0};
    Day x = today;
    for (int i = 0; i < 800; ++i, x = Tomorrow(x)) {
        if (!RunsOn(s, x)) continue;
        if (i > 0) return {x, s.startSecond};
        // Today: a weekly task needs its start strictly ahead, the others count the start instant too.
        const bool startCounts = s.dateMode == data::kWeekly ? t < start : t <= start;
        if (startCounts) return {today, s.startSecond};
        if (auto slot = RepeatSlot(s, t, false)) return {today, *slot};
    }
    ADD_FAILURE() << "no occurrence within 800 days";
    return {today, 0};
}

std::string Describe(const Schedule& s, const platform::LocalDateTime& now) {
    std::ostringstream out;
    out << "mode " << s.dateMode << " date " << s.year << "-" << s.month << "-" << s.day << " days ";
    for (bool b : s.weekdays)
        out << (b ? 'x' : '-');
    out << " S " << s.startSecond << " L " << s.loopMinutes << " E " << s.endSecond << " now " << now.year
        << "-" << now.month << "-" << now.day << " " << now.hour << ":" << now.minute << ":" << now.second
        << "." << now.millisecond;
    return out.str();
}

TEST(NextOccurrence, AgreesWithBruteForceOnRandomTasks) {
    std::mt19937_64 rng(20250307);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    static const int kLoops[] = {0, 0, 0, 10, 20, 30, 40, 50, 60, 120, 180, 240, 300, 7, 1440, 2000};
    int mismatches = 0;
    for (int i = 0; i < 150'000 && mismatches < 5; ++i) {
        platform::LocalDateTime now;
        // Month ends, February and the days 28-31 are where the calendar rules differ, so they are
        // drawn far more often than chance would.
        now.year = pick(1999, 2101);
        now.month = pick(0, 3) == 0 ? 2 : pick(1, 12);
        now.day = pick(0, 2) == 0 ? MonthLength(now.year, now.month) - pick(0, 1)
                                  : pick(1, MonthLength(now.year, now.month));
        Schedule s;
        s.dateMode = pick(1, 5);
        s.startSecond = pick(0, 86399);
        s.loopMinutes = kLoops[pick(0, 15)];
        s.endSecond = pick(0, 3) == 0 ? 86399 : pick(0, 86399);
        s.year = now.year + pick(-1, 1);
        s.month = pick(0, 2) == 0 ? now.month : pick(1, 12);
        s.day = pick(0, 2) == 0 ? now.day : pick(0, 2) == 0 ? pick(28, 31) : pick(1, 31);
        if (pick(0, 3) == 0) s.year = now.year, s.month = now.month, s.day = now.day;
        for (auto& chosen : s.weekdays)
            chosen = pick(0, 2) == 0;
        // Land now on the moments where the rules change: the start, a slot, the end, a millisecond off.
        int second = pick(0, 86399);
        const int landing = pick(0, 5);
        if (landing == 1) second = s.startSecond;
        if (landing == 2 && s.loopMinutes > 0)
            second =
                static_cast<int>(std::min<long long>(86399, s.startSecond + pick(0, 8) * s.loopMinutes * 60));
        if (landing == 3) second = s.endSecond;
        if (landing == 4 && s.loopMinutes > 0)
            s.endSecond =
                static_cast<int>(std::min<long long>(86399, s.startSecond + pick(1, 6) * s.loopMinutes * 60));
        now.hour = second / 3600, now.minute = second / 60 % 60, now.second = second % 60;
        now.millisecond = pick(0, 1) == 0 ? 0 : pick(0, 2) == 0 ? 1 : pick(0, 999);

        const platform::LocalDateTime got = NextOccurrence(s, now);
        const Moment want = Reference(s, now);
        const bool same = got.year == want.day.y && got.month == want.day.m && got.day == want.day.d &&
                          got.hour * 3600 + got.minute * 60 + got.second == want.second &&
                          got.millisecond == 0;
        if (!same) {
            ++mismatches;
            ADD_FAILURE() << Describe(s, now) << ": got " << DueKey(got) << ", reference " << want.day.y
                          << "-" << want.day.m << "-" << want.day.d << " second " << want.second;
        }
    }
    EXPECT_EQ(mismatches, 0);
}

} // namespace
} // namespace orvanta::scheduler
