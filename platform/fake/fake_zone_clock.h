#pragma once

#include "platform/api/clock.h"

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

namespace orvanta::platform::fake {

// A zone as a list of offset changes: from each change's moment on, the clock is that far ahead of UTC.
struct ZoneRules {
    std::string name;
    std::int64_t initialOffsetMs = 0; // before the first change
    struct Change {
        std::int64_t utcMs;
        std::int64_t offsetMs;
    };
    std::vector<Change> changes; // in time order

    std::int64_t OffsetAt(std::int64_t utcMs) const;
};

// The daylight-saving rules of a few zones for the given years, written from the rules themselves
// (not read from the system's database), so tests run the same everywhere.
ZoneRules EuropeBerlin(int fromYear, int toYear);   // +1, +2 from last Sunday of March to last of October
ZoneRules AmericaNewYork(int fromYear, int toYear); // -5, -4 from 2nd Sunday of March to 1st of November
ZoneRules AustraliaLordHowe(int fromYear,
                            int toYear); // +10:30, +11 from 1st Sunday of October to 1st of April
ZoneRules AsiaTokyo();                   // +9 all year

// A clock that stands still on an absolute moment until the test moves it, and shows it in a zone.
class FakeZoneClock : public Clock {
  public:
    FakeZoneClock(ZoneRules zone, std::int64_t utcMs) : zone_(std::move(zone)), utcMs_(utcMs) {}

    LocalDateTime now() const override;
    std::int64_t nowUtcMs() const override;
    std::int64_t utcMsOf(const LocalDateTime& local) const override;
    LocalDateTime localOf(std::int64_t utcMs) const override { return LocalAt(utcMs); }
    std::optional<std::int64_t> nextOffsetChangeUtcMs(std::int64_t utcMs) const override;

    void setUtcMs(std::int64_t utcMs);
    const ZoneRules& zone() const { return zone_; }
    // The wall-clock reading of an absolute moment in this zone.
    LocalDateTime LocalAt(std::int64_t utcMs) const;

  private:
    ZoneRules zone_;
    mutable std::mutex mutex_;
    std::int64_t utcMs_;
};

using platform::FromWallMilliseconds;

} // namespace orvanta::platform::fake
