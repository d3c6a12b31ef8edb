#include "platform/fake/fake_log.h"
#include "platform/linux/linux_resume_monitor.h"
#include "platform/linux/local_time.h"
#include "tests/platform/event_log.h"
#include "tests/platform/mock_logind.h"
#include "tests/platform/scoped_env.h"
#include "tests/platform/test_environment.h"

#include <gtest/gtest.h>
#include <optional>
#include <vector>

namespace orvanta::platform::linux_backend {
namespace {

using namespace std::chrono_literals;

class FixedIdle : public UserIdleTime {
  public:
    explicit FixedIdle(std::optional<std::chrono::milliseconds> idle) : idle_(idle) {}
    std::optional<std::chrono::milliseconds> userIdleTime() override { return idle_; }

  private:
    std::optional<std::chrono::milliseconds> idle_;
};

// Keeps the automatic flag of every resume delivered.
class ResumeLog : public test::EventLog<bool> {
  public:
    std::function<void(const ResumeEvent&)> receiver() {
        return [this](const ResumeEvent& event) { add(event.automatic); };
    }
};

class LinuxResumeMonitorTest : public ::testing::Test {
  protected:
    void SetUp() override { ORVANTA_REQUIRE_RESOURCE(logind_.present(), "no logind on the system bus"); }

    test::ExclusiveLogindUse turn_;
    test::MockLogind logind_;
    std::shared_ptr<WakeFireRecord> record_ = std::make_shared<WakeFireRecord>();
    FixedIdle userAway_{std::chrono::hours(1)};
    ResumeLog log_;
    fake::RecordingLog warnings_;
    ResumeMonitorOptions options_{3000ms, 400ms, 5000ms};
};

TEST_F(LinuxResumeMonitorTest, ResumeWithoutOurTimerIsTheUsers) {
    LinuxResumeMonitor monitor(warnings_, record_, userAway_, options_);
    ASSERT_TRUE(monitor.start(log_.receiver()));
    ASSERT_TRUE(logind_.emitPrepareForSleep(true));
    ASSERT_TRUE(logind_.emitPrepareForSleep(false));

    ASSERT_TRUE(log_.waitFor(1, 5000ms));
    EXPECT_FALSE(log_.events().at(0));
    EXPECT_FALSE(log_.waitFor(2, 300ms)) << "going to sleep is not a resume";
}

TEST_F(LinuxResumeMonitorTest, ResumeByOurTimerWithNobodyAroundIsAutomatic) {
    LinuxResumeMonitor monitor(warnings_, record_, userAway_, options_);
    ASSERT_TRUE(monitor.start(log_.receiver()));
    ASSERT_TRUE(logind_.emitPrepareForSleep(true));
    std::this_thread::sleep_for(20ms);
    record_->noteFired(BootTimeNow());
    ASSERT_TRUE(logind_.emitPrepareForSleep(false));

    ASSERT_TRUE(log_.waitFor(1, 5000ms));
    EXPECT_TRUE(log_.events().at(0));
}

TEST_F(LinuxResumeMonitorTest, TimerFiringJustAfterTheAnnouncementStillCounts) {
    LinuxResumeMonitor monitor(warnings_, record_, userAway_, options_);
    ASSERT_TRUE(monitor.start(log_.receiver()));
    ASSERT_TRUE(logind_.emitPrepareForSleep(true));
    ASSERT_TRUE(logind_.emitPrepareForSleep(false));
    std::this_thread::sleep_for(50ms);
    record_->noteFired(BootTimeNow());

    ASSERT_TRUE(log_.waitFor(1, 5000ms));
    EXPECT_TRUE(log_.events().at(0));
}

TEST_F(LinuxResumeMonitorTest, StoppedMonitorDeliversNothing) {
    LinuxResumeMonitor monitor(warnings_, record_, userAway_, options_);
    ASSERT_TRUE(monitor.start(log_.receiver()));
    monitor.stop();
    ASSERT_TRUE(logind_.emitPrepareForSleep(false));
    EXPECT_FALSE(log_.waitFor(1, 800ms));

    ASSERT_TRUE(monitor.start(log_.receiver())) << "a stopped monitor can start again";
    ASSERT_TRUE(logind_.emitPrepareForSleep(false));
    EXPECT_TRUE(log_.waitFor(1, 5000ms));
}

TEST(LinuxResumeMonitor, WithoutABusStartIsRefused) {
    test::ScopedEnv noBus("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=/nonexistent/orvanta-test-bus");
    FixedIdle idle(std::nullopt);
    fake::RecordingLog warnings;
    LinuxResumeMonitor monitor(warnings, std::make_shared<WakeFireRecord>(), idle);
    EXPECT_FALSE(monitor.start([](const ResumeEvent&) {}));
    EXPECT_NE(warnings.find("no system bus"), "") << "a deaf monitor must say so";
}

} // namespace
} // namespace orvanta::platform::linux_backend
