#include "platform/fake/fake_log.h"
#include "platform/linux/linux_wake_timer.h"
#include "platform/linux/local_time.h"
#include "tests/platform/event_log.h"

#include <atomic>
#include <gtest/gtest.h>
#include <linux/capability.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

namespace orvanta::platform::linux_backend {
namespace {

using std::chrono::milliseconds;
using test::localAt;
using test::realtimeMs;

// Generous enough for a loaded machine; the benchmark measures the real precision.
constexpr long long kLateBoundMs = 200;

class LinuxWakeTimerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        timer_ = factory_.create("nowake2", false);
        ASSERT_NE(timer_, nullptr);
        timer_->setOnFired(log_.callback());
    }

    test::FiringLog log_; // outlives the timer, whose thread writes to it
    fake::RecordingLog warnings_;
    LinuxWakeTimerFactory factory_{warnings_};
    std::unique_ptr<WakeTimer> timer_;
};

TEST_F(LinuxWakeTimerTest, FiresOnceAtTheArmedLocalTimeOnItsOwnThread) {
    // Odd milliseconds: the local time carries them and they must not be dropped.
    const long long due = realtimeMs() + 2137;
    ASSERT_TRUE(timer_->arm(localAt(due)));

    ASSERT_TRUE(log_.waitFor(1, milliseconds(4000)));
    EXPECT_FALSE(log_.waitFor(2, milliseconds(300))) << "one arming, one firing";
    EXPECT_GE(log_.moments().at(0), due) << "fired early";
    EXPECT_LE(log_.moments().at(0) - due, kLateBoundMs);
    EXPECT_NE(log_.threads().at(0), std::this_thread::get_id());
}

TEST_F(LinuxWakeTimerTest, EveryArmingReplacesTheOneBefore) {
    ASSERT_TRUE(timer_->arm(localAt(realtimeMs() + 300)));
    ASSERT_TRUE(timer_->armAfter(milliseconds(400)));
    const long long due = realtimeMs() + 1000;
    ASSERT_TRUE(timer_->arm(localAt(due)));

    ASSERT_TRUE(log_.waitFor(1, milliseconds(3000)));
    EXPECT_FALSE(log_.waitFor(2, milliseconds(300)));
    EXPECT_GE(log_.moments().at(0), due) << "a replaced arming fired";
}

TEST_F(LinuxWakeTimerTest, CancelledTimerStaysSilentAndCanBeArmedAgain) {
    ASSERT_TRUE(timer_->arm(localAt(realtimeMs() + 300)));
    timer_->cancel();
    EXPECT_FALSE(log_.waitFor(1, milliseconds(800)));

    const long long armed = realtimeMs();
    ASSERT_TRUE(timer_->armAfter(milliseconds(300)));
    ASSERT_TRUE(log_.waitFor(1, milliseconds(2000)));
    EXPECT_GE(log_.moments().at(0) - armed, 300);
    EXPECT_LE(log_.moments().at(0) - armed, 300 + kLateBoundMs);
}

TEST_F(LinuxWakeTimerTest, MomentOutsideTheCalendarIsRefusedAndDisarms) {
    ASSERT_TRUE(timer_->arm(localAt(realtimeMs() + 200)));
    EXPECT_FALSE(timer_->arm(LocalDateTime{2025, 2, 30, 7, 0, 0, 0}));
    EXPECT_FALSE(log_.waitFor(1, milliseconds(600)));
}

TEST(LinuxWakeTimer, ReArmingWaitsForAFiringBeingDelivered) {
    std::atomic<bool> started{false};
    std::atomic<bool> finished{false};
    fake::RecordingLog warnings;
    LinuxWakeTimerFactory factory(warnings);
    auto timer = factory.create("nowake2", false);
    ASSERT_NE(timer, nullptr);
    timer->setOnFired([&] {
        started = true;
        std::this_thread::sleep_for(milliseconds(300));
        finished = true;
    });
    ASSERT_TRUE(timer->arm(localAt(realtimeMs() - 1000)));
    for (int i = 0; i < 2000 && !started; ++i)
        std::this_thread::sleep_for(milliseconds(1));
    ASSERT_TRUE(started);

    // Returning earlier would let the old firing reach the receiver after the new arming.
    ASSERT_TRUE(timer->arm(localAt(realtimeMs() + 60000)));
    EXPECT_TRUE(finished);
}

TEST(LinuxWakeTimer, CallbackMayArmItsOwnTimerAgain) {
    test::FiringLog log;
    auto note = log.callback();
    int left = 3;
    fake::RecordingLog warnings;
    LinuxWakeTimerFactory factory(warnings);
    auto timer = factory.create("waketest", false);
    ASSERT_NE(timer, nullptr);
    timer->setOnFired([&] {
        note();
        if (--left > 0) timer->armAfter(milliseconds(20));
    });
    ASSERT_TRUE(timer->armAfter(milliseconds(20)));
    EXPECT_TRUE(log.waitFor(3, milliseconds(2000)));
    EXPECT_FALSE(log.waitFor(4, milliseconds(200)));
}

TEST(LinuxWakeTimer, AReceiverThatThrowsIsLoggedAndTheTimerServesOn) {
    test::FiringLog log;
    auto note = log.callback();
    bool throwNext = true;
    fake::RecordingLog warnings;
    LinuxWakeTimerFactory factory(warnings);
    auto timer = factory.create("nowake2", false);
    ASSERT_NE(timer, nullptr);
    timer->setOnFired([&] {
        note();
        if (std::exchange(throwNext, false)) throw std::runtime_error("the table is locked");
    });
    ASSERT_TRUE(timer->armAfter(milliseconds(10)));
    ASSERT_TRUE(log.waitFor(1, milliseconds(2000)));
    ASSERT_TRUE(timer->armAfter(milliseconds(10)));
    EXPECT_TRUE(log.waitFor(2, milliseconds(2000))) << "one failed receiver left the timer deaf";
    EXPECT_EQ(warnings.lines(),
              std::vector<std::string>{
                  "the timer \"nowake2\" fired, and its receiver failed: the table is locked"});
}

TEST(LinuxWakeTimer, OnlyAWakingTimerLeavesItsFiringOnRecord) {
    if (!AlarmClockUsable())
        GTEST_SKIP() << "this process lacks CAP_WAKE_ALARM, so no timer wakes the computer";
    test::FiringLog log;
    auto record = std::make_shared<WakeFireRecord>();
    fake::RecordingLog warnings;
    LinuxWakeTimerFactory factory(warnings, record);
    auto waking = factory.create("pcwake2", true);
    auto plain = factory.create("nowake2", false);
    ASSERT_TRUE(waking && plain);
    ASSERT_TRUE(waking->wakesSystem());
    ASSERT_FALSE(plain->wakesSystem());
    waking->setOnFired(log.callback());
    plain->setOnFired(log.callback());

    ASSERT_TRUE(plain->armAfter(milliseconds(10)));
    ASSERT_TRUE(log.waitFor(1, milliseconds(1000)));
    EXPECT_FALSE(record->lastFired())
        << "a timer that cannot wake the computer proves nothing about a wake-up";

    const auto before = BootTimeNow();
    ASSERT_TRUE(waking->armAfter(milliseconds(10)));
    ASSERT_TRUE(log.waitFor(2, milliseconds(1000)));
    ASSERT_TRUE(record->lastFired());
    EXPECT_GE(*record->lastFired(), before);
}

// Runs in a child, which gives up CAP_WAKE_ALARM for good; the exit code tells the parent what it saw.
int childWithoutWakeAlarm() {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[2]{};
    if (syscall(SYS_capget, &header, data) != 0) return 10;
    const unsigned bit = 1u << (CAP_WAKE_ALARM % 32);
    auto& word = data[CAP_WAKE_ALARM / 32];
    word.effective &= ~bit;
    word.permitted &= ~bit;
    word.inheritable &= ~bit;
    if (syscall(SYS_capset, &header, data) != 0) return 11;

    if (AlarmClockUsable()) return 12;
    test::FiringLog log;
    fake::RecordingLog warnings;
    LinuxWakeTimerFactory factory(warnings);
    auto timer = factory.create("pcwake2", true);
    if (!timer) return 13;
    if (timer->wakesSystem()) return 14;
    // Tasks that were to wake the computer will not: the user has to be able to find out why.
    if (warnings
            .find("\"pcwake2\" cannot wake the computer from sleep: this program lacks the CAP_WAKE_ALARM")
            .empty())
        return 17;
    timer->setOnFired(log.callback());
    if (!timer->armAfter(milliseconds(20))) return 15;
    return log.waitFor(1, milliseconds(2000)) ? 0 : 16;
}

TEST(LinuxWakeTimer, WithoutWakeAlarmCapabilityFallsBackToThePlainClock) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) _exit(childWithoutWakeAlarm());
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "10-11: capability not dropped, 12: alarm clock still usable, "
                                         "13: no timer, 14: claims to wake, 15-16: did not fire, "
                                         "17: the missing privilege was not logged";
}

} // namespace
} // namespace orvanta::platform::linux_backend
