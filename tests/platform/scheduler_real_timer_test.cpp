// The wake-up arming on the real timers and the real clock: what the main window relies on when a task
// comes due.
#include "platform/fake/fake_log.h"
#include "platform/linux/linux_clock.h"
#include "platform/linux/linux_wake_timer.h"
#include "scheduler/wake_arming.h"
#include "tests/support/display_rows_of.h"

#include <chrono>
#include <condition_variable>
#include <gtest/gtest.h>
#include <mutex>
#include <string>
#include <vector>

namespace orvanta::scheduler {
namespace {

using namespace std::chrono_literals;

// Collects the hand-over requests the waiter threads make.
class WaitingTimers : public MainTimers {
  public:
    void SetPollEnabled(bool enabled) override { Add(enabled ? "poll on" : "poll off"); }
    void StartWakeHandOver() override { Add("doWake"); }
    void StartDueHandOver() override { Add("doNoWake"); }
    void StartWakeUpNudge() override { Add("Timer12"); }

    bool WaitFor(std::size_t count, std::chrono::milliseconds limit) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, limit, [&] { return calls_.size() >= count; });
    }
    std::vector<std::string> Calls() {
        std::lock_guard lock(mutex_);
        return calls_;
    }

  private:
    void Add(const char* call) {
        std::lock_guard lock(mutex_);
        calls_.push_back(call);
        changed_.notify_all();
    }
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::string> calls_;
};

std::string KeyAfter(const platform::LocalDateTime& t, int seconds) {
    // Whole seconds from now, carried through minutes and hours; the test does not run across midnight.
    int s = t.hour * 3600 + t.minute * 60 + t.second + seconds;
    return std::to_string(t.year) + "-" + std::to_string(t.month) + "-" + std::to_string(t.day) + "-" +
           std::to_string(s / 3600) + "-" + std::to_string(s / 60 % 60) + "-" + std::to_string(s % 60);
}

RunTable Due(const std::string& key) {
    test::DisplayCells row{};
    row[kDispStatus] = kStatusWaiting;
    row[kDispEnabled] = "1";
    row[kDispDueKey] = key;
    RunTable table;
    table.taskRowCount = 1;
    table.displayRows = std::make_shared<DisplayRows>(test::DisplayRowsOf({row}));
    return table;
}

class RealTimerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const auto now = clock.now();
        if (now.hour == 23 && now.minute >= 59) GTEST_SKIP() << "too close to midnight for whole-second keys";
    }
    platform::linux_backend::LinuxClock clock;
    platform::fake::RecordingLog warnings;
    platform::linux_backend::LinuxWakeTimerFactory factory{warnings};
    WaitingTimers timers;
    WakeArming arming{{factory, timers, clock, [] { return false; }}};
};

TEST_F(RealTimerTest, ATimerTwoSecondsAheadHandsItsKeyOverOnce) {
    const std::string key = KeyAfter(clock.now(), 2);
    arming.ArmWakeTimers(Due(key));
    ASSERT_TRUE(timers.WaitFor(2, 5s)) << "the timer did not fire";
    EXPECT_EQ(timers.Calls(), (std::vector<std::string>{"poll off", "doNoWake"}));
    EXPECT_EQ(arming.TakePendingDueKey(), key);
    EXPECT_EQ(arming.TakePendingDueKey(), "");
    EXPECT_FALSE(timers.WaitFor(3, 1500ms)); // nothing fires twice
}

TEST_F(RealTimerTest, ReArmingBeforeTheFiringReplacesTheMoment) {
    const auto now = clock.now();
    arming.ArmWakeTimers(Due(KeyAfter(now, 2)));
    const std::string later = KeyAfter(now, 3);
    arming.ArmWakeTimers(Due(later));
    ASSERT_TRUE(timers.WaitFor(2, 6s)) << "the timer did not fire";
    EXPECT_EQ(arming.TakePendingDueKey(), later);
    EXPECT_FALSE(timers.WaitFor(3, 1500ms));
    EXPECT_EQ(timers.Calls().size(), 2u);
}

} // namespace
} // namespace orvanta::scheduler
