#pragma once

#include "platform/api/log.h"
#include "platform/api/wake_timer.h"
#include "platform/linux/unique_fd.h"
#include "platform/linux/wake_fire_record.h"

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <time.h>

namespace orvanta::platform::linux_backend {

// True when this process may arm the clocks that wake the computer from sleep (it holds CAP_WAKE_ALARM).
bool AlarmClockUsable();

// The clocks a timer runs on: the wall clock for absolute moments (it follows changes of the system time)
// and the boot clock for delays (it counts time asleep). The alarm variants also wake the computer.
struct WakeClocks {
    clockid_t wall = CLOCK_REALTIME;
    clockid_t elapsed = CLOCK_BOOTTIME;
    bool wakeSystem = false;
};

// The alarm clocks when waking is asked for and allowed, else the plain ones.
WakeClocks ChooseWakeClocks(bool wakeSystem, bool alarmAllowed);

// One timer with its own waiter thread, which lives as long as the timer: re-arming only changes the
// kernel timers the waiter watches, so no thread is left behind per arming.
//
// A discontinuous change of the system time wakes the waiter (TFD_TIMER_CANCEL_ON_SET); it then arms the
// same absolute moment again, so a moment the clock jumped past fires at once and one the clock went back
// from fires when the clock reaches it again. The scheduler's tolerance check and its clock-jump rebuild
// decide what such a late or early firing means.
//
// Must not be destroyed from its own fired callback.
class LinuxWakeTimer final : public WakeTimer {
  public:
    // nullptr when the kernel refuses the timers or the thread; the log says which.
    static std::unique_ptr<LinuxWakeTimer> create(std::string name, const WakeClocks& clocks,
                                                  std::shared_ptr<WakeFireRecord> fireRecord, Log& log);
    ~LinuxWakeTimer() override;

    const std::string& name() const override { return name_; }
    bool wakesSystem() const override { return wakesSystem_; }
    void setOnFired(std::function<void()> onFired) override;
    bool arm(const LocalDateTime& dueLocal) override;
    bool armAfter(std::chrono::milliseconds delay) override;
    void cancel() override;

  private:
    LinuxWakeTimer(std::string name, bool wakesSystem, UniqueFd wallFd, UniqueFd elapsedFd, UniqueFd stopFd,
                   std::shared_ptr<WakeFireRecord> fireRecord, Log& log);
    void waitForDelivery(std::unique_lock<std::mutex>& lock);
    void disarmAll();
    bool takeExpiry(int fd, bool wall);
    bool setOrSay(int fd, int flags, const timespec& when);
    void run();

    const std::string name_;
    const bool wakesSystem_;
    const UniqueFd wallFd_;
    const UniqueFd elapsedFd_;
    const UniqueFd stopFd_;
    const std::shared_ptr<WakeFireRecord> fireRecord_;
    Log& log_;

    std::mutex mutex_;
    std::condition_variable delivered_;
    std::function<void()> onFired_;
    bool delivering_ = false;
    std::optional<timespec> wallDue_; // what the wall timer is armed to, for re-arming after a clock change
    std::thread waiter_;
};

class LinuxWakeTimerFactory : public WakeTimerFactory {
  public:
    // fireRecord, when given, learns of every firing of a timer that wakes the computer.
    explicit LinuxWakeTimerFactory(Log& log, std::shared_ptr<WakeFireRecord> fireRecord = nullptr)
        : fireRecord_(std::move(fireRecord)), log_(log) {}

    // A timer asked to wake the computer without the privilege to do so is made all the same, on the
    // clocks that do not wake; the log says so, since the tasks it serves will run late or not at all.
    std::unique_ptr<WakeTimer> create(const std::string& name, bool wakeSystem) override;

  private:
    std::shared_ptr<WakeFireRecord> fireRecord_;
    Log& log_;
};

} // namespace orvanta::platform::linux_backend
