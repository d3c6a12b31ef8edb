#include "platform/windows/windows_wake_timer.h"

#include <chrono>
#include <condition_variable>
#include <gtest/gtest.h>
#include <mutex>
#include <vector>
#include <windows.h>

namespace wb = orvanta::platform::windows_backend;
using orvanta::platform::LocalDateTime;
using namespace std::chrono_literals;
using SteadyClock = std::chrono::steady_clock;

namespace {

// The wall clock, in 100 ns steps: what an absolute timer is due by.
std::chrono::nanoseconds WallClockNow() {
    FILETIME ft{};
    GetSystemTimeAsFileTime(&ft);
    ULARGE_INTEGER value{};
    value.LowPart = ft.dwLowDateTime;
    value.HighPart = ft.dwHighDateTime;
    return std::chrono::nanoseconds(value.QuadPart * 100);
}

// Records when each firing arrived, measured from the moment the log was made, on the steady clock and
// on the wall clock.
class FiringLog {
  public:
    std::function<void()> callback() {
        return [this] {
            std::lock_guard lock(mutex_);
            firings_.push_back(SteadyClock::now() - start_);
            wallFirings_.push_back(WallClockNow() - wallStart_);
            changed_.notify_all();
        };
    }
    std::vector<std::chrono::nanoseconds> wallFirings() {
        std::lock_guard lock(mutex_);
        return wallFirings_;
    }
    // Waits until the count is reached or the time is up; the firings seen.
    std::vector<SteadyClock::duration> waitFor(size_t count, SteadyClock::duration limit) {
        std::unique_lock lock(mutex_);
        changed_.wait_for(lock, limit, [&] { return firings_.size() >= count; });
        return firings_;
    }

  private:
    const SteadyClock::time_point start_ = SteadyClock::now();
    const std::chrono::nanoseconds wallStart_ = WallClockNow();
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<SteadyClock::duration> firings_;
    std::vector<std::chrono::nanoseconds> wallFirings_;
};

LocalDateTime LocalNowPlus(std::chrono::milliseconds offset) {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    FILETIME ft{};
    SystemTimeToFileTime(&now, &ft);
    ULARGE_INTEGER value{};
    value.LowPart = ft.dwLowDateTime;
    value.HighPart = ft.dwHighDateTime;
    value.QuadPart += static_cast<ULONGLONG>(offset.count()) * 10000;
    ft.dwLowDateTime = value.LowPart;
    ft.dwHighDateTime = value.HighPart;
    SYSTEMTIME due{};
    FileTimeToSystemTime(&ft, &due);
    return LocalDateTime{due.wYear,   due.wMonth,  due.wDay,         due.wHour,
                         due.wMinute, due.wSecond, due.wMilliseconds};
}

std::unique_ptr<orvanta::platform::WakeTimer> MakeTimer(FiringLog& log, const char* name = "waketest") {
    auto timer = wb::WindowsWakeTimerFactory().create(name, true);
    if (timer) timer->setOnFired(log.callback());
    return timer;
}

} // namespace

TEST(WindowsWakeTimer, ALocalMomentTwoSecondsAheadFiresOnceWithinItsWindow) {
    FiringLog log;
    auto timer = MakeTimer(log);
    ASSERT_NE(timer, nullptr);
    EXPECT_EQ(timer->name(), "waketest");
    ASSERT_TRUE(timer->arm(LocalNowPlus(2000ms)));

    auto firings = log.waitFor(1, 5s);
    ASSERT_EQ(firings.size(), 1u);
    // The moment is one of the wall clock: it is due when the wall clock gets there, even where the
    // wall clock was corrected meanwhile and the steady clock saw less time pass.
    EXPECT_GE(log.wallFirings()[0], 1900ms) << "steady clock: " << firings[0].count() << " ns";
    EXPECT_LE(firings[0], 3000ms);
    EXPECT_EQ(log.waitFor(2, 700ms).size(), 1u) << "one arming, one firing";
}

TEST(WindowsWakeTimer, ReArmingReplacesTheEarlierMoment) {
    FiringLog log;
    auto timer = MakeTimer(log, "pcwake2");
    ASSERT_NE(timer, nullptr);
    ASSERT_TRUE(timer->arm(LocalNowPlus(800ms)));
    ASSERT_TRUE(timer->arm(LocalNowPlus(2000ms)));

    auto firings = log.waitFor(2, 3500ms);
    ASSERT_EQ(firings.size(), 1u);
    EXPECT_GE(firings[0], 1900ms) << "the first moment must not fire";
}

TEST(WindowsWakeTimer, ReArmingRightAfterAnAlmostDueMomentStillFiresTheNewOne) {
    FiringLog log;
    // The 1 ms moment may signal before the new arming is made; that signal must not be taken for the
    // new arming's, nor swallow it.
    auto timer = MakeTimer(log, "nowake2");
    ASSERT_NE(timer, nullptr);
    ASSERT_TRUE(timer->armAfter(1ms));
    Sleep(5);
    ASSERT_TRUE(timer->armAfter(1500ms));
    auto firings = log.waitFor(2, 2500ms);
    ASSERT_GE(firings.size(), 1u);
    // The 1 ms arming may have fired before it was replaced; what must hold is that the replacing
    // arming fires, and no more than once.
    EXPECT_GE(firings.back(), 1400ms);
    EXPECT_LE(firings.size(), 2u);
}

TEST(WindowsWakeTimer, CancelAndARefusedMomentLeaveNothingArmed) {
    FiringLog log;
    auto timer = MakeTimer(log);
    ASSERT_NE(timer, nullptr);

    ASSERT_TRUE(timer->armAfter(300ms));
    timer->cancel();
    ASSERT_TRUE(timer->armAfter(300ms));
    EXPECT_FALSE(timer->arm(LocalDateTime{2030, 2, 30, 12, 0, 0, 0})) << "30 February";
    EXPECT_FALSE(timer->arm(LocalDateTime{2030, 3, 1, 24, 0, 0, 0})) << "hour 24";
    EXPECT_EQ(log.waitFor(1, 1200ms).size(), 0u);
}

TEST(WindowsWakeTimer, PastMomentsAndZeroDelaysFireAtOnce) {
    FiringLog log;
    auto timer = MakeTimer(log);
    ASSERT_NE(timer, nullptr);
    ASSERT_TRUE(timer->arm(LocalNowPlus(-5000ms)));
    auto firings = log.waitFor(1, 2s);
    ASSERT_EQ(firings.size(), 1u);
    EXPECT_LT(firings[0], 1000ms);

    ASSERT_TRUE(timer->armAfter(0ms));
    firings = log.waitFor(2, 2s);
    ASSERT_EQ(firings.size(), 2u);
    EXPECT_LT(firings[1] - firings[0], 1000ms);
}

TEST(WindowsWakeTimer, TheCallbackMayArmItsOwnTimerAgain) {
    FiringLog log;
    auto timer = wb::WindowsWakeTimerFactory().create("waketest", false);
    ASSERT_NE(timer, nullptr);
    EXPECT_FALSE(timer->wakesSystem()) << "a timer not asked to wake never claims to";
    int calls = 0;
    auto record = log.callback();
    timer->setOnFired([&] {
        record();
        if (++calls == 1) timer->armAfter(200ms);
    });
    ASSERT_TRUE(timer->armAfter(100ms));
    auto firings = log.waitFor(2, 3s);
    ASSERT_EQ(firings.size(), 2u);
    EXPECT_GE(firings[1] - firings[0], 150ms);
}

TEST(WindowsWakeTimer, DestroyingAnArmedTimerEndsItsWaiter) {
    FiringLog log;
    {
        auto timer = MakeTimer(log);
        ASSERT_NE(timer, nullptr);
        ASSERT_TRUE(timer->armAfter(300ms));
    }
    EXPECT_EQ(log.waitFor(1, 800ms).size(), 0u);
}
