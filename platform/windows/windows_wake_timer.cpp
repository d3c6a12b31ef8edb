#include "platform/windows/windows_wake_timer.h"

#include "platform/windows/power_library.h"

#include <utility>
#include <windows.h>

namespace orvanta::platform::windows_backend {
namespace {

// A waitable timer may signal a little before the system clock shows its moment; a signal this close to
// the current arming's moment belongs to it.
constexpr std::int64_t kEarlySignalTolerance = 20 * 10000; // 20 ms in 100 ns units

std::int64_t NowUtc() {
    FILETIME ft{};
    GetSystemTimeAsFileTime(&ft);
    return (static_cast<std::int64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
}

} // namespace

bool RtcWakeSupported() {
    SYSTEM_POWER_CAPABILITIES caps{};
    PowerLibrary library;
    if (!library.powerCapabilities(caps)) return false;
    return caps.RtcWake >= PowerSystemSleeping1 && caps.RtcWake <= PowerSystemHibernate;
}

std::unique_ptr<WindowsWakeTimer> WindowsWakeTimer::create(std::string name, bool wakeSystem) {
    HANDLE timer = CreateWaitableTimerA(nullptr, FALSE, name.c_str());
    if (!timer) return nullptr;
    HANDLE stop = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (!stop) {
        CloseHandle(timer);
        return nullptr;
    }
    std::unique_ptr<WindowsWakeTimer> result(
        new WindowsWakeTimer(std::move(name), wakeSystem && RtcWakeSupported(), timer, stop));
    try {
        result->waiter_ = std::thread([raw = result.get()] { raw->run(); });
    } catch (...) {
        return nullptr;
    }
    return result;
}

WindowsWakeTimer::WindowsWakeTimer(std::string name, bool wakesSystem, void* timer, void* stopEvent)
    : name_(std::move(name)), wakesSystem_(wakesSystem), timer_(timer), stopEvent_(stopEvent) {}

WindowsWakeTimer::~WindowsWakeTimer() {
    SetEvent(stopEvent_);
    if (waiter_.joinable()) waiter_.join();
    CancelWaitableTimer(timer_);
    CloseHandle(timer_);
    CloseHandle(stopEvent_);
}

void WindowsWakeTimer::setOnFired(std::function<void()> onFired) {
    std::lock_guard lock(mutex_);
    onFired_ = std::move(onFired);
}

void WindowsWakeTimer::waitForDelivery(std::unique_lock<std::mutex>& lock) {
    // The callback itself may re-arm: waiting for its own delivery would never end.
    if (std::this_thread::get_id() == waiterId_) return;
    delivered_.wait(lock, [this] { return !delivering_; });
}

bool WindowsWakeTimer::setTimer(std::int64_t dueTime, std::int64_t dueUtc) {
    std::unique_lock lock(mutex_);
    waitForDelivery(lock);
    ++armings_;
    LARGE_INTEGER due{};
    due.QuadPart = dueTime;
    // Setting the timer also clears a signal an earlier arming left behind.
    if (!SetWaitableTimer(timer_, &due, 0, nullptr, nullptr, wakesSystem_ ? TRUE : FALSE)) {
        CancelWaitableTimer(timer_);
        armed_ = false;
        return false;
    }
    armed_ = true;
    dueUtc_ = dueUtc;
    return true;
}

bool WindowsWakeTimer::arm(const LocalDateTime& dueLocal) {
    SYSTEMTIME local{};
    local.wYear = static_cast<WORD>(dueLocal.year);
    local.wMonth = static_cast<WORD>(dueLocal.month);
    local.wDay = static_cast<WORD>(dueLocal.day);
    local.wHour = static_cast<WORD>(dueLocal.hour);
    local.wMinute = static_cast<WORD>(dueLocal.minute);
    local.wSecond = static_cast<WORD>(dueLocal.second);
    local.wMilliseconds = static_cast<WORD>(dueLocal.millisecond);
    SYSTEMTIME utc{};
    FILETIME ft{};
    // Both conversions check the calendar: 30 February and hour 24 are refused here.
    const bool inRange = dueLocal.year >= 1601 && dueLocal.year <= 30827 && dueLocal.month >= 1 &&
                         dueLocal.month <= 12 && dueLocal.day >= 1 && dueLocal.hour >= 0 &&
                         dueLocal.minute >= 0 && dueLocal.second >= 0 && dueLocal.millisecond >= 0;
    if (!inRange || !TzSpecificLocalTimeToSystemTime(nullptr, &local, &utc) ||
        !SystemTimeToFileTime(&utc, &ft)) {
        cancel();
        return false;
    }
    const std::int64_t due = (static_cast<std::int64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
    return setTimer(due, due);
}

bool WindowsWakeTimer::armAfter(std::chrono::milliseconds delay) {
    const std::int64_t ticks = std::max<std::int64_t>(delay.count(), 0) * 10000;
    // A zero delay means "now" to us but "absolute time 0" to the system: one tick is the smallest delay.
    const std::int64_t relative = -std::max<std::int64_t>(ticks, 1);
    return setTimer(relative, NowUtc() + ticks);
}

void WindowsWakeTimer::cancel() {
    std::unique_lock lock(mutex_);
    waitForDelivery(lock);
    ++armings_;
    armed_ = false;
    // A signal that is already set stays set; armed_ makes the waiter drop it.
    CancelWaitableTimer(timer_);
}

void WindowsWakeTimer::run() {
    {
        std::lock_guard lock(mutex_);
        waiterId_ = std::this_thread::get_id();
    }
    HANDLE handles[2] = {stopEvent_, timer_};
    for (;;) {
        std::uint64_t seen = 0;
        {
            std::lock_guard lock(mutex_);
            seen = armings_;
        }
        DWORD which = WaitForMultipleObjects(2, handles, FALSE, INFINITE);
        if (which != WAIT_OBJECT_0 + 1) return; // stop, or the handles are gone
        std::function<void()> callback;
        {
            std::lock_guard lock(mutex_);
            if (!armed_) continue;
            // When an arming came between our look and the signal, the signal may be the earlier arming's.
            if (armings_ != seen && NowUtc() < dueUtc_ - kEarlySignalTolerance) continue;
            armed_ = false;
            delivering_ = true;
            callback = onFired_;
        }
        if (callback) callback();
        {
            std::lock_guard lock(mutex_);
            delivering_ = false;
        }
        delivered_.notify_all();
    }
}

std::unique_ptr<WakeTimer> WindowsWakeTimerFactory::create(const std::string& name, bool wakeSystem) {
    return WindowsWakeTimer::create(name, wakeSystem);
}

} // namespace orvanta::platform::windows_backend
