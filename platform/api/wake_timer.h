#pragma once

#include "platform/api/clock.h"

#include <chrono>
#include <functional>
#include <memory>
#include <string>

namespace orvanta::platform {

// A named one-shot timer that fires at a wall-clock moment and, where the machine allows it, brings the
// computer out of sleep for it.
//
// Each arming replaces the one before: once arm(), armAfter() or cancel() has returned, no firing of an
// earlier arming is delivered any more. A firing is delivered exactly once, on a thread the timer owns, so
// the callback must hand its work over to another thread and return quickly. It must not wait for a thread
// that may arm or cancel this timer, since those calls wait for a firing that is being delivered; arming or
// cancelling from inside the callback itself is fine.
class WakeTimer {
  public:
    virtual ~WakeTimer() = default;

    virtual const std::string& name() const = 0;

    // True when a firing of this timer can bring the computer out of sleep.
    virtual bool wakesSystem() const = 0;

    // Set once, before the first arming; the timer keeps a copy for its whole life.
    virtual void setOnFired(std::function<void()> onFired) = 0;

    // Fires at the given local date and time. A moment that has already passed fires at once. Returns false
    // when the date or time is outside the calendar (30 February, hour 24) or the system refused the timer;
    // the timer is then disarmed.
    virtual bool arm(const LocalDateTime& dueLocal) = 0;

    // Fires after the given delay, counting time the computer spends asleep.
    virtual bool armAfter(std::chrono::milliseconds delay) = 0;

    // Disarms; nothing fires until the next arming.
    virtual void cancel() = 0;
};

class WakeTimerFactory {
  public:
    virtual ~WakeTimerFactory() = default;

    // A new timer, disarmed. wakeSystem asks for a timer that wakes the computer; where that is not allowed
    // the timer still works, without waking (see WakeTimer::wakesSystem). Returns nullptr when the system
    // cannot give a timer at all.
    virtual std::unique_ptr<WakeTimer> create(const std::string& name, bool wakeSystem) = 0;
};

} // namespace orvanta::platform
