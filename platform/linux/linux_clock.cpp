#include "platform/linux/linux_clock.h"

#include "platform/linux/local_time.h"

#include <ctime>

namespace orvanta::platform::linux_backend {

LocalDateTime LinuxClock::now() const {
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    tm local{};
    localtime_r(&ts.tv_sec, &local);
    return LocalDateTime{local.tm_year + 1900,
                         local.tm_mon + 1,
                         local.tm_mday,
                         local.tm_hour,
                         local.tm_min,
                         local.tm_sec,
                         static_cast<int>(ts.tv_nsec / 1000000)};
}

std::int64_t LinuxClock::nowUtcMs() const {
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    return static_cast<std::int64_t>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

std::int64_t LinuxClock::utcMsOf(const LocalDateTime& local) const {
    return wallToUtcMs(WallMilliseconds(local));
}

// localtime_r does not look at the zone again by itself; tzset reads TZ and /etc/localtime afresh.
void LinuxClock::refreshZone() const {
    tzset();
}

LocalDateTime LinuxClock::localOf(std::int64_t utcMs) const {
    return FromWallMilliseconds(utcMs + utcOffsetMs(utcMs));
}

std::optional<std::int64_t> LinuxClock::nextOffsetChangeUtcMs(std::int64_t utcMs) const {
    // Day by day for a year, then to the millisecond: zones change their offset at most a few times a year.
    constexpr std::int64_t kDay = 86'400'000;
    const std::int64_t offset = utcOffsetMs(utcMs);
    for (std::int64_t day = 1; day <= 366; ++day) {
        if (utcOffsetMs(utcMs + day * kDay) == offset) continue;
        std::int64_t lo = utcMs + (day - 1) * kDay, hi = utcMs + day * kDay;
        while (hi - lo > 1) {
            const std::int64_t mid = lo + (hi - lo) / 2;
            if (utcOffsetMs(mid) == offset)
                lo = mid;
            else
                hi = mid;
        }
        return hi;
    }
    return std::nullopt;
}

} // namespace orvanta::platform::linux_backend
