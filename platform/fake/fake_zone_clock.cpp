#include "platform/fake/fake_zone_clock.h"

#include "platform/api/local_time_resolution.h"

namespace orvanta::platform::fake {
namespace {

constexpr std::int64_t kHour = 3'600'000;
constexpr std::int64_t kDay = 24 * kHour;

std::int64_t DayStart(int year, int month, int day) {
    return WallMilliseconds({year, month, day, 0, 0, 0, 0});
}

// 0 = Sunday.
int WeekdayOf(std::int64_t dayStartMs) {
    const std::int64_t days = dayStartMs / kDay; // 1970-01-01 was a Thursday
    return static_cast<int>(((days % 7) + 7 + 4) % 7);
}

std::int64_t NthSunday(int year, int month, int n) {
    std::int64_t d = DayStart(year, month, 1);
    while (WeekdayOf(d) != 0)
        d += kDay;
    return d + (n - 1) * 7 * kDay;
}

std::int64_t LastSunday(int year, int month) {
    std::int64_t d = month == 12 ? DayStart(year + 1, 1, 1) - kDay : DayStart(year, month + 1, 1) - kDay;
    while (WeekdayOf(d) != 0)
        d -= kDay;
    return d;
}

} // namespace

std::int64_t ZoneRules::OffsetAt(std::int64_t utcMs) const {
    std::int64_t offset = initialOffsetMs;
    for (const Change& c : changes) {
        if (c.utcMs > utcMs) break;
        offset = c.offsetMs;
    }
    return offset;
}

ZoneRules EuropeBerlin(int fromYear, int toYear) {
    ZoneRules z{"Europe/Berlin", 1 * kHour, {}};
    for (int y = fromYear; y <= toYear; ++y) {
        z.changes.push_back({LastSunday(y, 3) + 1 * kHour, 2 * kHour});
        z.changes.push_back({LastSunday(y, 10) + 1 * kHour, 1 * kHour});
    }
    return z;
}

ZoneRules AmericaNewYork(int fromYear, int toYear) {
    ZoneRules z{"America/New_York", -5 * kHour, {}};
    for (int y = fromYear; y <= toYear; ++y) {
        z.changes.push_back({NthSunday(y, 3, 2) + 2 * kHour + 5 * kHour, -4 * kHour});
        z.changes.push_back({NthSunday(y, 11, 1) + 2 * kHour + 4 * kHour, -5 * kHour});
    }
    return z;
}

ZoneRules AustraliaLordHowe(int fromYear, int toYear) {
    const std::int64_t standard = 10 * kHour + kHour / 2;
    const std::int64_t summer = 11 * kHour;
    ZoneRules z{"Australia/Lord_Howe", summer, {}};
    for (int y = fromYear; y <= toYear; ++y) {
        z.changes.push_back({NthSunday(y, 4, 1) + 2 * kHour - summer, standard});  // 2:00 back to 1:30
        z.changes.push_back({NthSunday(y, 10, 1) + 2 * kHour - standard, summer}); // 2:00 on to 2:30
    }
    return z;
}

ZoneRules AsiaTokyo() {
    return ZoneRules{"Asia/Tokyo", 9 * kHour, {}};
}

std::optional<std::int64_t> FakeZoneClock::nextOffsetChangeUtcMs(std::int64_t utcMs) const {
    for (const auto& c : zone_.changes)
        if (c.utcMs > utcMs) return c.utcMs;
    return std::nullopt;
}

LocalDateTime FakeZoneClock::LocalAt(std::int64_t utcMs) const {
    return FromWallMilliseconds(utcMs + zone_.OffsetAt(utcMs));
}

LocalDateTime FakeZoneClock::now() const {
    return LocalAt(nowUtcMs());
}

std::int64_t FakeZoneClock::nowUtcMs() const {
    std::lock_guard lock(mutex_);
    return utcMs_;
}

std::int64_t FakeZoneClock::utcMsOf(const LocalDateTime& local) const {
    return ResolveWallTime(WallMilliseconds(local), [this](std::int64_t t) { return zone_.OffsetAt(t); });
}

void FakeZoneClock::setUtcMs(std::int64_t utcMs) {
    std::lock_guard lock(mutex_);
    utcMs_ = utcMs;
}

} // namespace orvanta::platform::fake
