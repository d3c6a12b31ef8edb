#pragma once

#include "platform/api/clock.h"

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>
#include <time.h>
#include <variant>
#include <vector>

namespace orvanta::test {

// Wall-clock milliseconds since the epoch.
inline long long realtimeMs() {
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    return static_cast<long long>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

// The local date and time of a wall-clock millisecond.
inline platform::LocalDateTime localAt(long long epochMs) {
    const time_t seconds = static_cast<time_t>(epochMs / 1000);
    tm local{};
    localtime_r(&seconds, &local);
    return {local.tm_year + 1900,
            local.tm_mon + 1,
            local.tm_mday,
            local.tm_hour,
            local.tm_min,
            local.tm_sec,
            static_cast<int>(epochMs % 1000)};
}

// Collects what a backend thread delivered, when and on which thread, for the test thread to wait on.
template <typename Event = std::monostate> class EventLog {
  public:
    void add(Event event) {
        std::lock_guard lock(mutex_);
        events_.push_back(std::move(event));
        moments_.push_back(realtimeMs());
        threads_.push_back(std::this_thread::get_id());
        changed_.notify_all();
    }
    // For timers, whose callback carries nothing.
    std::function<void()> callback() {
        return [this] { add(Event{}); };
    }

    // True once at least count events arrived within the time-out.
    bool waitFor(std::size_t count, std::chrono::milliseconds timeout) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, timeout, [&] { return events_.size() >= count; });
    }

    std::vector<Event> events() const {
        std::lock_guard lock(mutex_);
        return events_;
    }
    std::vector<long long> moments() const {
        std::lock_guard lock(mutex_);
        return moments_;
    }
    std::vector<std::thread::id> threads() const {
        std::lock_guard lock(mutex_);
        return threads_;
    }

  private:
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<Event> events_;
    std::vector<long long> moments_;
    std::vector<std::thread::id> threads_;
};

using FiringLog = EventLog<>;

} // namespace orvanta::test
