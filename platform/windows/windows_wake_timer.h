#pragma once

#include "platform/api/wake_timer.h"

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace orvanta::platform::windows_backend {

// A named waitable timer with its own waiter thread, which lives as long as the timer and waits on the
// timer and a stop event. Re-arming only resets the system timer; no thread is left behind per arming.
//
// Must not be destroyed from its own fired callback.
class WindowsWakeTimer final : public WakeTimer {
  public:
    // nullptr when the system refuses the timer, the event or the thread.
    static std::unique_ptr<WindowsWakeTimer> create(std::string name, bool wakeSystem);
    ~WindowsWakeTimer() override;

    const std::string& name() const override { return name_; }
    bool wakesSystem() const override { return wakesSystem_; }
    void setOnFired(std::function<void()> onFired) override;
    bool arm(const LocalDateTime& dueLocal) override;
    bool armAfter(std::chrono::milliseconds delay) override;
    void cancel() override;

  private:
    WindowsWakeTimer(std::string name, bool wakesSystem, void* timer, void* stopEvent);
    void waitForDelivery(std::unique_lock<std::mutex>& lock);
    // dueTime in the system's convention: positive is an absolute UTC file time, negative a delay.
    bool setTimer(std::int64_t dueTime, std::int64_t dueUtc);
    void run();

    const std::string name_;
    const bool wakesSystem_;
    void* const timer_;
    void* const stopEvent_;

    std::mutex mutex_;
    std::condition_variable delivered_;
    std::function<void()> onFired_;
    bool armed_ = false;
    std::int64_t dueUtc_ = 0;   // the current arming's moment, UTC file time
    std::uint64_t armings_ = 0; // counts armings and cancels, to tell a signal of an earlier arming
    bool delivering_ = false;
    std::thread::id waiterId_;
    std::thread waiter_;
};

class WindowsWakeTimerFactory : public WakeTimerFactory {
  public:
    std::unique_ptr<WakeTimer> create(const std::string& name, bool wakeSystem) override;
};

// True when the machine's power capabilities say a timer can wake it from sleep.
bool RtcWakeSupported();

} // namespace orvanta::platform::windows_backend
