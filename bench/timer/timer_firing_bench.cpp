// Arms a real wake timer again and again a few tens of milliseconds ahead and reports how late each firing
// arrives: once for a local date and time (how the scheduler arms) and once for a delay (the power-on test).
//
//   timer_firing_bench [firings per mode, default 200] [min ahead ms, default 20] [max ahead ms, default 50]

#include "platform/linux/linux_wake_timer.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <numeric>
#include <random>
#include <string>
#include <time.h>
#include <vector>

namespace {

using orvanta::platform::LocalDateTime;
using orvanta::platform::WakeTimer;

long long nowNs(clockid_t clock) {
    timespec ts{};
    clock_gettime(clock, &ts);
    return static_cast<long long>(ts.tv_sec) * 1000000000LL + ts.tv_nsec;
}

LocalDateTime localAtMs(long long epochMs) {
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

// Hands the moment of each firing from the waiter thread to the measuring loop.
class FiringClock {
  public:
    explicit FiringClock(clockid_t clock) : clock_(clock) {}
    void fired() {
        const long long at = nowNs(clock_);
        std::lock_guard lock(mutex_);
        firedAt_ = at;
        changed_.notify_all();
    }
    bool waitNext(long long& at) {
        std::unique_lock lock(mutex_);
        if (!changed_.wait_for(lock, std::chrono::seconds(5), [this] { return firedAt_ != 0; })) return false;
        at = std::exchange(firedAt_, 0);
        return true;
    }
    void setClock(clockid_t clock) {
        std::lock_guard lock(mutex_);
        clock_ = clock;
    }

  private:
    std::mutex mutex_;
    std::condition_variable changed_;
    clockid_t clock_;
    long long firedAt_ = 0;
};

struct Summary {
    double mean = 0, p50 = 0, p99 = 0, max = 0, min = 0;
};

Summary summarize(std::vector<double> errors) {
    std::sort(errors.begin(), errors.end());
    const auto at = [&](double q) {
        const auto index = static_cast<std::size_t>(q * static_cast<double>(errors.size() - 1) + 0.5);
        return errors[std::min(index, errors.size() - 1)];
    };
    Summary s;
    s.mean = std::accumulate(errors.begin(), errors.end(), 0.0) / static_cast<double>(errors.size());
    s.p50 = at(0.50);
    s.p99 = at(0.99);
    s.max = errors.back();
    s.min = errors.front();
    return s;
}

int parseOr(int argc, char** argv, int index, int fallback) {
    return argc > index ? std::max(1, std::atoi(argv[index])) : fallback;
}

} // namespace

int main(int argc, char** argv) {
    const int count = parseOr(argc, argv, 1, 200);
    const int minAhead = parseOr(argc, argv, 2, 20);
    const int maxAhead = std::max(minAhead, parseOr(argc, argv, 3, 50));

    orvanta::platform::StderrLog log("timer_firing_bench");
    orvanta::platform::linux_backend::LinuxWakeTimerFactory factory(log);
    auto timer = factory.create("pcwake2", true);
    if (!timer) {
        std::fprintf(stderr, "timer_firing_bench: the system gave no timer\n");
        return 1;
    }
    FiringClock firing(CLOCK_REALTIME);
    timer->setOnFired([&] { firing.fired(); });

    std::mt19937 random(20250307);
    std::uniform_int_distribution<int> ahead(minAhead, maxAhead);
    std::printf("timer_firing_bench: %d firings per mode, armed %d-%d ms ahead, %s clocks\n", count, minAhead,
                maxAhead, timer->wakesSystem() ? "alarm (waking)" : "plain (not waking)");
    std::printf("%-12s %8s %8s %8s %8s %8s   firing error in ms, negative = early\n", "mode", "min", "mean",
                "p50", "p99", "max");

    for (const bool byDelay : {false, true}) {
        const clockid_t clock = byDelay ? CLOCK_BOOTTIME : CLOCK_REALTIME;
        firing.setClock(clock);
        std::vector<double> errors;
        for (int i = 0; i < count; ++i) {
            const int aheadMs = ahead(random);
            long long dueNs = 0;
            if (byDelay) {
                dueNs = nowNs(clock) + aheadMs * 1000000LL;
                timer->armAfter(std::chrono::milliseconds(aheadMs));
            } else {
                const long long dueMs = nowNs(clock) / 1000000LL + aheadMs;
                dueNs = dueMs * 1000000LL;
                timer->arm(localAtMs(dueMs));
            }
            long long firedNs = 0;
            if (!firing.waitNext(firedNs)) {
                std::fprintf(stderr, "timer_firing_bench: a firing did not arrive\n");
                return 1;
            }
            errors.push_back(static_cast<double>(firedNs - dueNs) / 1e6);
        }
        const Summary s = summarize(errors);
        std::printf("%-12s %8.3f %8.3f %8.3f %8.3f %8.3f\n", byDelay ? "delay" : "local time", s.min, s.mean,
                    s.p50, s.p99, s.max);
    }
    return 0;
}
