#pragma once

#include "platform/api/wake_timer.h"

#include <chrono>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace orvanta::platform::fake {

// One request the code under test made of a timer.
struct FakeArming {
    enum class Kind { At, After, Cancel };
    Kind kind = Kind::Cancel;
    LocalDateTime at;                   // Kind::At
    std::chrono::milliseconds after{0}; // Kind::After

    bool operator==(const FakeArming&) const = default;
};

// The test's handle on one timer: what was asked of it, and a trigger. Outlives the timer itself.
class FakeWakeTimerControl {
  public:
    FakeWakeTimerControl(std::string name, bool wakesSystem)
        : name_(std::move(name)), wakesSystem_(wakesSystem) {}

    const std::string& name() const { return name_; }
    bool wakesSystem() const { return wakesSystem_; }

    // Every arm, armAfter and cancel, oldest first.
    std::vector<FakeArming> history() const;
    // The arming that is waiting to fire; nullopt when disarmed (cancelled, fired, or never armed).
    std::optional<FakeArming> armed() const;
    // False once the code under test has destroyed the timer.
    bool alive() const;

    // Fires the waiting arming: calls the callback on the calling thread and leaves the timer disarmed.
    // False, and nothing called, when nothing is armed or the timer is gone.
    bool fire();

    // Used by the timer object.
    void record(const FakeArming& request);
    void setOnFired(std::function<void()> onFired);
    void release();

  private:
    const std::string name_;
    const bool wakesSystem_;
    mutable std::mutex mutex_;
    std::vector<FakeArming> history_;
    std::optional<FakeArming> armed_;
    std::function<void()> onFired_;
    bool alive_ = true;
};

class FakeWakeTimerFactory : public WakeTimerFactory {
  public:
    std::unique_ptr<WakeTimer> create(const std::string& name, bool wakeSystem) override;

    // When false, timers asked to wake the computer are made without that ability (as without
    // CAP_WAKE_ALARM). True at first.
    void setWakingAllowed(bool allowed);
    // When true, create() answers nullptr.
    void setRefuseCreation(bool refuse);

    // The control of the latest timer made with that name; nullptr when none was made.
    std::shared_ptr<FakeWakeTimerControl> timer(const std::string& name) const;
    // How many timers were made with that name.
    int createdCount(const std::string& name) const;

  private:
    mutable std::mutex mutex_;
    bool wakingAllowed_ = true;
    bool refuseCreation_ = false;
    std::map<std::string, std::shared_ptr<FakeWakeTimerControl>> latest_;
    std::map<std::string, int> created_;
};

} // namespace orvanta::platform::fake
