#include "platform/linux/linux_clock.h"

#include <ctime>

#include "platform/linux/local_time.h"

namespace orvanta::platform::linux_backend {

LocalDateTime LinuxClock::now() const {
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    tm local{};
    localtime_r(&ts.tv_sec, &local);
    return LocalDateTime{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                         local.tm_min,         local.tm_sec,     static_cast<int>(ts.tv_nsec / 1000000)};
}

std::int64_t LinuxClock::nowUtcMs() const {
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    return static_cast<std::int64_t>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

std::int64_t LinuxClock::utcMsOf(const LocalDateTime& local) const { return wallToUtcMs(WallMilliseconds(local)); }

} // namespace orvanta::platform::linux_backend
