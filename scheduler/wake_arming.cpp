#include "scheduler/wake_arming.h"

#include "scheduler/wake_keys.h"

#include <utility>

namespace orvanta::scheduler {

WakeArming::WakeArming(Ports ports) : ports_(std::move(ports)) {}

WakeArming::~WakeArming() {
    // The timers join their threads; a firing being delivered may still take the lock.
    wake_.timer.reset();
    due_.timer.reset();
}

void WakeArming::Arm(Slot& slot, const std::string& key) {
    if (!slot.created) {
        slot.created = true;
        slot.timer = ports_.timers.create(slot.name, slot.wakes);
        if (slot.timer) slot.timer->setOnFired([this, &slot] { OnFired(slot); });
    }
    if (!slot.timer) {
        std::lock_guard lock(mutex_);
        slot.pendingKey.clear();
        return;
    }
    slot.timer->cancel();
    // A moment that has come but whose firing was not delivered yet (the rebuild came first) would be
    // lost by the new arming: it is handed over as its firing would have been. Once cancel() has
    // returned no firing of it can follow, and one being delivered has cleared the key already.
    bool handOver = false;
    const auto due = ParseDueKey(key);
    {
        std::lock_guard lock(mutex_);
        if (!slot.pendingKey.empty() && slot.pendingKey != key) {
            const auto late = LatenessMs(slot.pendingKey, ports_.clock);
            if (late && *late >= 0 && (slot.wakes ? InWakeWindow(*late) : InDueWindow(*late))) {
                slot.handed.push_back(slot.pendingKey);
                handOver = true;
            }
        }
        slot.pendingKey = due ? key : std::string();
        slot.firedOutsideWindow = false;
    }
    if (handOver) {
        ports_.mainTimers.SetPollEnabled(false);
        if (slot.wakes)
            ports_.mainTimers.StartWakeHandOver();
        else
            ports_.mainTimers.StartDueHandOver();
    }
    if (due) slot.timer->arm(*due);
}

void WakeArming::ArmWakeTimers(const RunTable& table) {
    // The no-wake timer first, then the wake timer, as their waiters have always been started.
    Arm(due_, SoonestDueKey(*table.displayRows, table.taskRowCount));
    Arm(wake_, SoonestWakeKey(*table.displayRows, table.taskRowCount));
}

void WakeArming::OnFired(Slot& slot) {
    // On the timer's thread: decide, then only ask the GUI thread's timers to act. The key is the one
    // this firing was armed with; the timer delivers no firing of an arming that has been replaced.
    const bool isWake = &slot == &wake_;
    if (isWake && ports_.resumedAutomatically && ports_.resumedAutomatically())
        ports_.mainTimers.StartWakeUpNudge();
    std::string key;
    {
        std::lock_guard lock(mutex_);
        key = std::exchange(slot.pendingKey, {});
    }
    const auto late = LatenessMs(key, ports_.clock);
    const bool due = late && (isWake ? InWakeWindow(*late) : InDueWindow(*late));
    {
        std::lock_guard lock(mutex_);
        if (!due) {
            slot.firedOutsideWindow = !key.empty();
            return;
        }
        slot.handed.push_back(key);
    }
    ports_.mainTimers.SetPollEnabled(false);
    if (isWake)
        ports_.mainTimers.StartWakeHandOver();
    else
        ports_.mainTimers.StartDueHandOver();
}

std::string WakeArming::TakePendingWakeKey() {
    std::lock_guard lock(mutex_);
    if (wake_.handed.empty()) return {};
    std::string key = std::move(wake_.handed.front());
    wake_.handed.pop_front();
    return key;
}

std::string WakeArming::TakePendingDueKey() {
    std::lock_guard lock(mutex_);
    if (due_.handed.empty()) return {};
    std::string key = std::move(due_.handed.front());
    due_.handed.pop_front();
    return key;
}

bool WakeArming::NeedsRearming() const {
    std::lock_guard lock(mutex_);
    return wake_.firedOutsideWindow || due_.firedOutsideWindow;
}

std::string WakeArming::PendingWakeKey() const {
    std::lock_guard lock(mutex_);
    return wake_.pendingKey;
}

std::string WakeArming::PendingDueKey() const {
    std::lock_guard lock(mutex_);
    return due_.pendingKey;
}

} // namespace orvanta::scheduler
