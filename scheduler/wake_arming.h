#pragma once

#include "platform/api/clock.h"
#include "platform/api/wake_timer.h"
#include "scheduler/dispatch_ports.h"
#include "scheduler/run_table.h"

#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

namespace orvanta::scheduler {

// Keeps the two named timers set to the soonest shown waiting tasks: "pcwake2" for the soonest task that
// asks to wake the computer, "nowake2" for the soonest other one. When a timer fires on its own thread,
// the armed key is checked against the clock and, when due, handed to the GUI thread's hand-over timers.
class WakeArming {
  public:
    struct Ports {
        platform::WakeTimerFactory& timers;
        MainTimers& mainTimers;
        const platform::Clock& clock;
        // Whether the computer has just come back from sleep by itself (our wake timer) with no user since.
        std::function<bool()> resumedAutomatically;
    };

    explicit WakeArming(Ports ports);
    ~WakeArming();

    // GUI thread, after every rebuild (also one that found no timed task).
    void ArmWakeTimers(const RunTable& table);

    // The hand-over handlers (doWake, doNoWake) take the key their own timer fired for, oldest first;
    // empty when no firing is waiting to be handed over. A rebuild re-arms the timers but never changes
    // a key that has already fired.
    std::string TakePendingWakeKey();
    std::string TakePendingDueKey();

    // True when a timer fired outside its window since it was last armed: nothing is armed on it now
    // although the table may have a task for it (the clock moved a little across the moment).
    bool NeedsRearming() const;

    // For the list and tests: what is armed now (empty once it has fired).
    std::string PendingWakeKey() const;
    std::string PendingDueKey() const;

  private:
    struct Slot {
        const char* name;
        bool wakes;
        std::unique_ptr<platform::WakeTimer> timer;
        std::string pendingKey;          // armed; guarded by mutex_
        std::deque<std::string> handed;  // fired, waiting for the hand-over; guarded by mutex_
        bool firedOutsideWindow = false; // guarded by mutex_
        bool created = false;
    };
    void Arm(Slot& slot, const std::string& key);
    void OnFired(Slot& slot);

    Ports ports_;
    mutable std::mutex mutex_;
    Slot wake_{"pcwake2", true, nullptr, {}, {}};
    Slot due_{"nowake2", false, nullptr, {}, {}};
};

} // namespace orvanta::scheduler
