#pragma once

#include <cstdint>

namespace orvanta::platform {

// Whether the computer runs on line power; the values are the ones the settings and messages are built on.
enum class AcLineStatus : std::uint8_t {
    Offline = 0,
    Online = 1,
    Unknown = 255,
};

class PowerStatus {
  public:
    virtual ~PowerStatus() = default;

    // Read afresh on every call.
    virtual AcLineStatus acLineStatus() const = 0;

    // True when a timer can bring this computer out of sleep. When false, the task editor refuses wake-up
    // tasks.
    virtual bool canWakeFromSleep() const = 0;

    // True when a task that would shut down is better off hibernating than sleeping: a timer can bring
    // the computer back from hibernation and there is no system battery that sleep would run down. A
    // backend that cannot tell answers false, and the editor offers sleep.
    virtual bool prefersHibernateToSleep() const { return false; }
};

} // namespace orvanta::platform
