#include "platform/linux/linux_resume_monitor.h"

#include "platform/linux/local_time.h"
#include "platform/linux/resume_decision.h"

#include <algorithm>
#include <climits>
#include <errno.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <system_error>
#include <systemd/sd-bus.h>
#include <time.h>
#include <unistd.h>

namespace orvanta::platform::linux_backend {
namespace {

int PrepareForSleepSignal(sd_bus_message* message, void* monitor, sd_bus_error*) {
    int goingToSleep = 0;
    if (sd_bus_message_read(message, "b", &goingToSleep) >= 0)
        static_cast<LinuxResumeMonitor*>(monitor)->onPrepareForSleep(goingToSleep != 0);
    return 0;
}

int clampToPollMs(std::chrono::milliseconds wait) {
    return static_cast<int>(std::clamp<long long>(wait.count(), 0, INT_MAX));
}

} // namespace

LinuxResumeMonitor::LinuxResumeMonitor(Log& log, std::shared_ptr<const WakeFireRecord> fireRecord,
                                       UserIdleTime& idle, ResumeMonitorOptions options)
    : log_(log), fireRecord_(std::move(fireRecord)), idle_(idle), options_(options) {}

LinuxResumeMonitor::~LinuxResumeMonitor() {
    stop();
}

bool LinuxResumeMonitor::start(std::function<void(const ResumeEvent&)> onResumed) {
    std::lock_guard lock(controlMutex_);
    if (thread_.joinable()) return true;
    stopFd_.reset(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC));
    if (!stopFd_) return false;
    onResumed_ = std::move(onResumed);
    std::promise<bool> started;
    std::future<bool> connected = started.get_future();
    try {
        thread_ = std::thread([this, started = std::move(started)]() mutable { run(started); });
    } catch (const std::system_error&) {
        return false;
    }
    // The thread opens the connection itself (an sd-bus connection stays with one thread) and tells us
    // once the subscription is in place, so no signal sent after start() returns is missed.
    if (connected.get()) return true;
    thread_.join();
    return false;
}

void LinuxResumeMonitor::stop() {
    std::lock_guard lock(controlMutex_);
    if (!thread_.joinable()) return;
    const std::uint64_t one = 1;
    while (write(stopFd_.get(), &one, sizeof one) < 0 && errno == EINTR) {
    }
    thread_.join();
    stopFd_.reset();
}

SystemBus LinuxResumeMonitor::connect() {
    SystemBus bus = OpenSystemBus(options_.callTimeout);
    if (!bus) return nullptr;
    if (sd_bus_match_signal(bus.get(), nullptr, logind::kService, logind::kPath, logind::kManager,
                            "PrepareForSleep", PrepareForSleepSignal, this) < 0)
        return nullptr;
    return bus;
}

void LinuxResumeMonitor::onPrepareForSleep(bool goingToSleep) {
    // A new announcement settles the one still waiting for its timer.
    if (pendingResume_) decidePending(true);
    if (goingToSleep) {
        sleepStarted_ = BootTimeNow();
    } else {
        pendingResume_ = BootTimeNow();
        decidePending(false);
    }
}

void LinuxResumeMonitor::decidePending(bool waitedEnough) {
    ResumeEvidence evidence;
    evidence.sleepStarted = sleepStarted_;
    evidence.resumed = *pendingResume_;
    evidence.wakeTimerFired = fireRecord_ ? fireRecord_->lastFired() : std::nullopt;
    evidence.decidedAt = BootTimeNow();
    const bool fired = WakeTimerFiredForResume(evidence);
    if (!fired && !waitedEnough && evidence.decidedAt < evidence.resumed + options_.firingGrace) return;
    if (fired) evidence.userIdle = idle_.userIdleTime();

    pendingResume_.reset();
    sleepStarted_.reset();
    // The receiver's failure stays on its side; the monitor keeps listening.
    try {
        if (onResumed_) onResumed_(ResumeEvent{IsAutomaticResume(evidence)});
    } catch (const std::exception& e) {
        log_.warn(std::string("the computer woke, and the receiver of the news failed: ") + e.what());
    } catch (...) {
        log_.warn("the computer woke, and the receiver of the news failed");
    }
}

int LinuxResumeMonitor::pollTimeoutMs(sd_bus* bus) const {
    using std::chrono::milliseconds;
    std::optional<milliseconds> wait;
    if (!bus) wait = options_.reconnectDelay;
    if (pendingResume_) {
        const milliseconds left = *pendingResume_ + options_.firingGrace - BootTimeNow();
        wait = wait ? std::min(*wait, left) : left;
    }
    uint64_t dueUsec = 0;
    if (bus && sd_bus_get_timeout(bus, &dueUsec) >= 0 && dueUsec != UINT64_MAX) {
        timespec now{};
        clock_gettime(CLOCK_MONOTONIC, &now);
        const long long nowUsec = static_cast<long long>(now.tv_sec) * 1000000 + now.tv_nsec / 1000;
        const milliseconds left((static_cast<long long>(dueUsec) - nowUsec + 999) / 1000);
        wait = wait ? std::min(*wait, left) : left;
    }
    return wait ? clampToPollMs(*wait) : -1;
}

void LinuxResumeMonitor::run(std::promise<bool>& started) {
    // Announcements seen before an earlier stop() belong to that run.
    sleepStarted_.reset();
    pendingResume_.reset();
    SystemBus bus = connect();
    started.set_value(bus != nullptr);
    if (!bus) {
        log_.warn("no system bus to hear logind on: a resume from sleep goes unnoticed");
        return;
    }

    for (;;) {
        if (bus) {
            int processed = 0;
            while ((processed = sd_bus_process(bus.get(), nullptr)) > 0) {
            }
            if (processed < 0) {
                log_.warn("lost the system bus; listening for logind again in a moment");
                bus.reset();
            }
        }
        if (pendingResume_) decidePending(false);

        pollfd fds[2] = {{stopFd_.get(), POLLIN, 0}, {-1, 0, 0}};
        if (bus) {
            fds[1].fd = sd_bus_get_fd(bus.get());
            fds[1].events = static_cast<short>(sd_bus_get_events(bus.get()));
        }
        const int ready = poll(fds, 2, pollTimeoutMs(bus.get()));
        if (ready < 0 && errno != EINTR) return;
        if (fds[0].revents != 0) return;
        if (!bus && ready == 0) bus = connect();
    }
}

} // namespace orvanta::platform::linux_backend
