#include "platform/linux/linux_clock.h"

#include <ctime>

namespace orvanta::platform::linux_backend {

LocalDateTime LinuxClock::now() const {
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    tm local{};
    localtime_r(&ts.tv_sec, &local);
    return LocalDateTime{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                         local.tm_min,         local.tm_sec,     static_cast<int>(ts.tv_nsec / 1000000)};
}

} // namespace orvanta::platform::linux_backend
