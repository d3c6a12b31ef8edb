#pragma once

#include <cstdint>

namespace orvanta::platform {

// Whether the computer runs on line power; the values are the ones the settings and messages are built on.
enum class AcLineStatus : std::uint8_t {
    Offline = 0,
    Online = 1,
    Unknown = 255,
};

struct WakeAbility {
    // This program may set timers that wake the computer (on Linux: CAP_WAKE_ALARM).
    bool privilege = false;
    // The computer has a clock whose alarm wakes it.
    bool wakeClock = false;

    bool possible() const { return privilege && wakeClock; }
};

struct SleepStates {
    bool suspend = false;
    bool hibernate = false;

    bool any() const { return suspend || hibernate; }
};

class PowerStatus {
  public:
    virtual ~PowerStatus() = default;

    // Read afresh on every call.
    virtual AcLineStatus acLineStatus() const = 0;

    // What decides whether a timer can bring this computer out of sleep, read afresh on every call. The
    // task editor refuses wake-up tasks unless both hold, and tells the user which one is missing.
    virtual WakeAbility wakeFromSleep() const = 0;
    bool canWakeFromSleep() const { return wakeFromSleep().possible(); }

    // The sleep states the system lets this user enter now. A backend that cannot tell answers both.
    virtual SleepStates allowedSleepStates() const { return {true, true}; }

    // True when a task that would shut down is better off hibernating than sleeping: a timer can bring
    // the computer back from hibernation and there is no system battery that sleep would run down. A
    // backend that cannot tell answers false, and the editor offers sleep.
    virtual bool prefersHibernateToSleep() const { return false; }
};

} // namespace orvanta::platform
