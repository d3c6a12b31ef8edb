#include "platform/linux/linux_wake_timer.h"

#include "platform/linux/local_time.h"

#include <cstring>
#include <errno.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/timerfd.h>
#include <system_error>
#include <unistd.h>

namespace orvanta::platform::linux_backend {
namespace {

UniqueFd MakeTimerFd(clockid_t clock) {
    return UniqueFd(timerfd_create(clock, TFD_NONBLOCK | TFD_CLOEXEC));
}

bool SetTimer(int fd, int flags, const timespec& when) {
    itimerspec spec{};
    spec.it_value = when;
    return timerfd_settime(fd, flags, &spec, nullptr) == 0;
}

void Disarm(int fd) {
    itimerspec off{};
    timerfd_settime(fd, 0, &off, nullptr);
}

constexpr int kWallFlags = TFD_TIMER_ABSTIME | TFD_TIMER_CANCEL_ON_SET;

} // namespace

bool AlarmClockUsable() {
    // Creating the timer is the permission check; an old kernel without alarm timers answers EINVAL.
    return MakeTimerFd(CLOCK_REALTIME_ALARM).valid();
}

WakeClocks ChooseWakeClocks(bool wakeSystem, bool alarmAllowed) {
    if (wakeSystem && alarmAllowed) return {CLOCK_REALTIME_ALARM, CLOCK_BOOTTIME_ALARM, true};
    return {CLOCK_REALTIME, CLOCK_BOOTTIME, false};
}

std::unique_ptr<LinuxWakeTimer> LinuxWakeTimer::create(std::string name, const WakeClocks& clocks,
                                                       std::shared_ptr<WakeFireRecord> fireRecord, Log& log) {
    UniqueFd wall = MakeTimerFd(clocks.wall);
    UniqueFd elapsed = wall ? MakeTimerFd(clocks.elapsed) : UniqueFd();
    UniqueFd stop = elapsed ? UniqueFd(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) : UniqueFd();
    if (!wall || !elapsed || !stop) {
        log.warn("the timer \"" + name + "\" cannot be made: " + std::strerror(errno));
        return nullptr;
    }
    std::unique_ptr<LinuxWakeTimer> timer(new LinuxWakeTimer(name, clocks.wakeSystem, std::move(wall),
                                                             std::move(elapsed), std::move(stop),
                                                             std::move(fireRecord), log));
    try {
        timer->waiter_ = std::thread([t = timer.get()] { t->run(); });
    } catch (const std::system_error& e) {
        log.warn("the timer \"" + name + "\" cannot be made: no thread to wait on it (" + e.what() + ")");
        return nullptr;
    }
    return timer;
}

LinuxWakeTimer::LinuxWakeTimer(std::string name, bool wakesSystem, UniqueFd wallFd, UniqueFd elapsedFd,
                               UniqueFd stopFd, std::shared_ptr<WakeFireRecord> fireRecord, Log& log)
    : name_(std::move(name)), wakesSystem_(wakesSystem), wallFd_(std::move(wallFd)),
      elapsedFd_(std::move(elapsedFd)), stopFd_(std::move(stopFd)), fireRecord_(std::move(fireRecord)),
      log_(log) {}

LinuxWakeTimer::~LinuxWakeTimer() {
    const std::uint64_t one = 1;
    while (write(stopFd_.get(), &one, sizeof one) < 0 && errno == EINTR) {
    }
    if (waiter_.joinable()) waiter_.join();
}

void LinuxWakeTimer::setOnFired(std::function<void()> onFired) {
    std::unique_lock lock(mutex_);
    waitForDelivery(lock);
    onFired_ = std::move(onFired);
}

bool LinuxWakeTimer::arm(const LocalDateTime& dueLocal) {
    const auto due = LocalToRealtime(dueLocal);
    std::unique_lock lock(mutex_);
    waitForDelivery(lock);
    disarmAll();
    if (!due) return false;
    // A zero expiry would mean "Disarm"; any moment at or before the epoch has simply passed.
    const timespec when = due->tv_sec > 0 ? *due : timespec{0, 1};
    if (!setOrSay(wallFd_.get(), kWallFlags, when)) return false;
    wallDue_ = when;
    return true;
}

bool LinuxWakeTimer::armAfter(std::chrono::milliseconds delay) {
    const auto wait = std::max(delay, std::chrono::milliseconds(0));
    const auto whole = std::chrono::duration_cast<std::chrono::seconds>(wait);
    timespec when{static_cast<time_t>(whole.count()),
                  static_cast<long>(std::chrono::nanoseconds(wait - whole).count())};
    if (when.tv_sec == 0 && when.tv_nsec == 0) when.tv_nsec = 1;
    std::unique_lock lock(mutex_);
    waitForDelivery(lock);
    disarmAll();
    return setOrSay(elapsedFd_.get(), 0, when);
}

bool LinuxWakeTimer::setOrSay(int fd, int flags, const timespec& when) {
    if (SetTimer(fd, flags, when)) return true;
    log_.warn("the timer \"" + name_ + "\" cannot be set: " + std::strerror(errno));
    return false;
}

void LinuxWakeTimer::cancel() {
    std::unique_lock lock(mutex_);
    waitForDelivery(lock);
    disarmAll();
}

// A firing that the waiter has already taken belongs to the old arming; letting the caller go on before
// it is delivered would let it arrive after the re-arming. The waiter itself may re-arm from the callback.
void LinuxWakeTimer::waitForDelivery(std::unique_lock<std::mutex>& lock) {
    if (std::this_thread::get_id() == waiter_.get_id()) return;
    delivered_.wait(lock, [this] { return !delivering_; });
}

void LinuxWakeTimer::disarmAll() {
    // Disarming also clears an expiry the waiter has not read yet.
    Disarm(wallFd_.get());
    Disarm(elapsedFd_.get());
    wallDue_.reset();
}

// Reads one timer's expiry count; true when the current arming has come due.
bool LinuxWakeTimer::takeExpiry(int fd, bool wall) {
    std::uint64_t expirations = 0;
    if (read(fd, &expirations, sizeof expirations) == static_cast<ssize_t>(sizeof expirations))
        return expirations > 0;
    if (wall && errno == ECANCELED && wallDue_) {
        // The system time was changed: keep waiting for the same absolute moment on the new clock.
        if (!setOrSay(fd, kWallFlags, *wallDue_)) wallDue_.reset();
    }
    return false;
}

void LinuxWakeTimer::run() {
    for (;;) {
        pollfd fds[3] = {
            {stopFd_.get(), POLLIN, 0}, {wallFd_.get(), POLLIN, 0}, {elapsedFd_.get(), POLLIN, 0}};
        if (poll(fds, 3, -1) < 0) {
            if (errno == EINTR) continue;
            if (errno != ENOMEM) return;
            // Out of kernel memory for a moment: try again rather than leave the timer deaf.
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            continue;
        }
        if (fds[0].revents != 0) return;

        std::function<void()> callback;
        {
            std::lock_guard lock(mutex_);
            bool fired = false;
            if (fds[1].revents & POLLIN) {
                fired = takeExpiry(wallFd_.get(), true);
                if (fired) wallDue_.reset();
            }
            if (fds[2].revents & POLLIN) fired = takeExpiry(elapsedFd_.get(), false) || fired;
            if (!fired) continue;
            delivering_ = true;
            callback = onFired_;
        }
        if (wakesSystem_ && fireRecord_) fireRecord_->noteFired(BootTimeNow());
        // The receiver's failure stays on its side; this thread keeps serving the timer.
        try {
            if (callback) callback();
        } catch (const std::exception& e) {
            log_.warn("the timer \"" + name_ + "\" fired, and its receiver failed: " + e.what());
        } catch (...) {
            log_.warn("the timer \"" + name_ + "\" fired, and its receiver failed");
        }
        {
            std::lock_guard lock(mutex_);
            delivering_ = false;
        }
        delivered_.notify_all();
    }
}

std::unique_ptr<WakeTimer> LinuxWakeTimerFactory::create(const std::string& name, bool wakeSystem) {
    const bool alarmAllowed = wakeSystem && AlarmClockUsable();
    if (wakeSystem && !alarmAllowed)
        log_.warn("the timer \"" + name +
                  "\" cannot wake the computer from sleep: this program lacks the "
                  "CAP_WAKE_ALARM privilege (sudo setcap cap_wake_alarm+ep on the program grants it)");
    return LinuxWakeTimer::create(name, ChooseWakeClocks(wakeSystem, alarmAllowed), fireRecord_, log_);
}

} // namespace orvanta::platform::linux_backend
