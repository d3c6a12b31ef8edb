#pragma once

#include "platform/api/log.h"
#include "platform/api/resume_monitor.h"
#include "platform/linux/desktop_session.h"
#include "platform/linux/system_bus.h"
#include "platform/linux/unique_fd.h"
#include "platform/linux/wake_fire_record.h"

#include <chrono>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

namespace orvanta::platform::linux_backend {

struct ResumeMonitorOptions {
    std::chrono::milliseconds callTimeout{3000};
    // The resume announcement can overtake our timer's firing; this long after it a firing still counts.
    std::chrono::milliseconds firingGrace{1500};
    // After losing the bus, how long to wait before connecting again.
    std::chrono::milliseconds reconnectDelay{5000};
};

// Listens on its own thread and its own system-bus connection for logind's PrepareForSleep signal. Going to
// sleep (true) is noted; coming back (false) is delivered as a resume, automatic per IsAutomaticResume.
// A lost bus is reconnected after a pause.
class LinuxResumeMonitor : public ResumeMonitor {
  public:
    LinuxResumeMonitor(Log& log, std::shared_ptr<const WakeFireRecord> fireRecord, UserIdleTime& idle,
                       ResumeMonitorOptions options = {});
    ~LinuxResumeMonitor() override;

    // False when there is no system bus to listen on. Must not be called from the callback.
    bool start(std::function<void(const ResumeEvent&)> onResumed) override;
    // Must not be called from the callback.
    void stop() override;

    // sd-bus hands the signal over through a plain function; not for other callers.
    void onPrepareForSleep(bool goingToSleep);

  private:
    SystemBus connect();
    void run(std::promise<bool>& started);
    void decidePending(bool waitedEnough);
    int pollTimeoutMs(sd_bus* bus) const;

    Log& log_;
    const std::shared_ptr<const WakeFireRecord> fireRecord_;
    UserIdleTime& idle_;
    const ResumeMonitorOptions options_;

    std::mutex controlMutex_; // start and stop
    std::thread thread_;
    UniqueFd stopFd_;
    std::function<void(const ResumeEvent&)> onResumed_;

    // Touched by the monitor thread only.
    std::optional<std::chrono::milliseconds> sleepStarted_;
    std::optional<std::chrono::milliseconds> pendingResume_;
};

} // namespace orvanta::platform::linux_backend
