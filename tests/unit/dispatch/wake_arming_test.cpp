#include "platform/fake/fake_clock.h"
#include "platform/fake/fake_keep_awake.h"
#include "platform/fake/fake_power_status.h"
#include "platform/fake/fake_wake_timer.h"
#include "scheduler/power_on_test.h"
#include "scheduler/resume_handling.h"
#include "scheduler/wake_arming.h"
#include "tests/support/display_rows_of.h"
#include "tests/support/recording_ports.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

namespace orvanta::scheduler {
namespace {

using platform::LocalDateTime;
using platform::fake::FakeArming;
using Log = std::vector<std::string>;

test::DisplayCells Shown(const std::string& key, bool wake, const std::string& status = "Waiting") {
    test::DisplayCells r{};
    r[kDispStatus] = status;
    r[kDispEnabled] = "1";
    r[kDispDueKey] = key;
    r[kDispWakeKey] = wake ? key : "";
    return r;
}

RunTable TableOf(const std::vector<test::DisplayCells>& rows) {
    RunTable t;
    t.taskRowCount = rows.size();
    t.displayRows = std::make_shared<DisplayRows>(test::DisplayRowsOf(rows));
    return t;
}

class WakeArmingTest : public ::testing::Test {
  protected:
    platform::fake::FakeWakeTimerFactory factory;
    platform::fake::FakeClock clock{{2025, 3, 7, 6, 0, 0, 0}};
    test::RecordingPorts ports;
    bool automaticResume = false;
    WakeArming arming{{factory, ports, clock, [this] { return automaticResume; }}};

    std::optional<FakeArming> Armed(const char* name) { return factory.timer(name)->armed(); }
};

TEST_F(WakeArmingTest, EachTimerGetsTheSoonestRowOfItsKindAndReArmingReplaces) {
    arming.ArmWakeTimers(TableOf({Shown("2025-3-7-6-30-0", false), Shown("2025-3-7-7-0-0", true)}));
    EXPECT_EQ(Armed("nowake2")->at, (LocalDateTime{2025, 3, 7, 6, 30, 0, 0}));
    EXPECT_EQ(Armed("pcwake2")->at, (LocalDateTime{2025, 3, 7, 7, 0, 0, 0}));
    EXPECT_TRUE(factory.timer("pcwake2")->wakesSystem());
    EXPECT_FALSE(factory.timer("nowake2")->wakesSystem());

    arming.ArmWakeTimers(TableOf({Shown("2025-3-7-6-45-0", false)}));
    EXPECT_EQ(Armed("nowake2")->at, (LocalDateTime{2025, 3, 7, 6, 45, 0, 0}));
    EXPECT_FALSE(Armed("pcwake2")); // nothing to wake for any more: cancelled, key cleared
    EXPECT_EQ(arming.PendingWakeKey(), "");
    EXPECT_EQ(factory.createdCount("pcwake2"), 1); // one timer for the life of the process

    arming.ArmWakeTimers(TableOf({}));
    EXPECT_FALSE(Armed("nowake2"));
}

TEST_F(WakeArmingTest, AFiringInsideItsWindowHandsTheKeyOverOnce) {
    arming.ArmWakeTimers(TableOf({Shown("2025-3-7-6-30-0", false), Shown("2025-3-7-7-0-0", true)}));
    clock.set({2025, 3, 7, 6, 30, 2, 0});
    ASSERT_TRUE(factory.timer("nowake2")->fire());
    EXPECT_EQ(ports.log, (Log{"poll off", "doNoWake"}));
    EXPECT_EQ(arming.TakePendingDueKey(), "2025-3-7-6-30-0");
    EXPECT_EQ(arming.TakePendingDueKey(), "");

    ports.log.clear();
    automaticResume = true;
    clock.set({2025, 3, 7, 7, 0, 20, 0}); // a resume that took 20 s still runs the task
    ASSERT_TRUE(factory.timer("pcwake2")->fire());
    EXPECT_EQ(ports.log, (Log{"Timer12", "poll off", "doWake"}));
    EXPECT_EQ(arming.TakePendingWakeKey(), "2025-3-7-7-0-0");
}

TEST_F(WakeArmingTest, AFiringOutsideItsWindowHandsNothingOver) {
    arming.ArmWakeTimers(TableOf({Shown("2025-3-7-6-30-0", false), Shown("2025-3-7-7-0-0", true)}));
    clock.set({2025, 3, 7, 6, 30, 4, 0});
    factory.timer("nowake2")->fire();
    clock.set({2025, 3, 7, 7, 1, 10, 0}); // a 70-second resume
    factory.timer("pcwake2")->fire();
    EXPECT_TRUE(ports.log.empty());
}

TEST_F(WakeArmingTest, NoTimerMeansNothingArmedAndNoCrash) {
    factory.setRefuseCreation(true);
    arming.ArmWakeTimers(TableOf({Shown("2025-3-7-6-30-0", false)}));
    EXPECT_EQ(arming.PendingDueKey(), "");
}

class ResumeAndPowerTest : public ::testing::Test {
  protected:
    test::TempFolder folder;
    data::Settings settings{folder.file("wake.ini")};
    platform::fake::FakeKeepAwake keepAwake;
    int locks = 0, nudges = 0;
    ResumeHandling resume{{keepAwake, settings, [this] { ++nudges; }, [this] { ++locks; }}};
};

TEST_F(ResumeAndPowerTest, AnAutomaticResumeKeepsAwakeAndLocksOnlyWhenAsked) {
    resume.OnResume({.automatic = true});
    EXPECT_EQ(keepAwake.calls(), (Log{"wakeDisplay", "holdSystemAwake"}));
    EXPECT_EQ(locks, 0);
    settings.writeText("Option", "run", "1");
    resume.OnResume({.automatic = true});
    EXPECT_EQ(locks, 1);
    settings.writeText("Option", "run", "yes");
    resume.OnResume({.automatic = true});
    EXPECT_EQ(locks, 1);

    resume.OnResume({.automatic = false}); // the user is back: ordinary idle sleep again
    EXPECT_FALSE(keepAwake.holdingSystemAwake());

    resume.Timer12Timer();
    EXPECT_EQ(nudges, 1);
    EXPECT_TRUE(keepAwake.holdingSystemAwake());
}

// The first-start power-on test with fake power facts and timers; ask() counts the questions and gives
// the answer set.
class PowerOnTestTest : public ResumeAndPowerTest {
  protected:
    platform::fake::FakePowerStatus power;
    platform::fake::FakeWakeTimerFactory timers;
    test::RecordingPorts ports;
    int questions = 0;
    std::vector<bool> suspends;
    bool answer = true;
    PowerOnTest test{
        {settings, power, timers, ports, [this](bool hibernate) { suspends.push_back(hibernate); }}};
    std::function<bool()> ask = [this] {
        ++questions;
        return answer;
    };
};

TEST_F(PowerOnTestTest, PowerOnTestIsOfferedOnceAndOnlyOnMains) {

    power.setAcLineStatus(platform::AcLineStatus::Offline);
    EXPECT_FALSE(test.Offer(ask));
    EXPECT_EQ(questions, 0);
    EXPECT_FALSE(settings.readFlag("Option", "mfirst", true)); // not asked again, even on battery

    settings.writeFlag("Option", "mfirst", true);
    power.setAcLineStatus(platform::AcLineStatus::Online);
    EXPECT_TRUE(test.Offer(ask));
    EXPECT_EQ(suspends, (std::vector<bool>{true}));
    EXPECT_EQ(timers.timer("waketest")->armed()->after, std::chrono::milliseconds(180000));
    timers.timer("waketest")->fire();
    EXPECT_EQ(ports.log, (Log{"Timer12"}));
    EXPECT_FALSE(test.Offer(ask)); // once only

    settings.writeFlag("Option", "mfirst", true);
    power.setAcLineStatus(platform::AcLineStatus::Unknown);
    EXPECT_TRUE(test.Offer(ask));
    EXPECT_EQ(suspends.back(), false);

    settings.writeFlag("Option", "mfirst", true);
    answer = false;
    EXPECT_FALSE(test.Offer(ask));
    EXPECT_EQ(suspends.size(), 2u);
}

// A computer the test cannot wake would sleep until the user came back to it.
TEST_F(PowerOnTestTest, PowerOnTestIsNotOfferedWhereNoTimerCouldWakeTheComputer) {
    for (const platform::WakeAbility ability :
         {platform::WakeAbility{false, true}, platform::WakeAbility{true, false}}) {
        settings.writeFlag("Option", "mfirst", true);
        power.setWakeFromSleep(ability);
        EXPECT_FALSE(test.Offer(ask));
    }
    EXPECT_EQ(questions, 0);

    // The privilege went between the question and the timer: no suspend without a timer that wakes.
    settings.writeFlag("Option", "mfirst", true);
    power.setWakeFromSleep({true, true});
    timers.setWakingAllowed(false);
    EXPECT_FALSE(test.Offer(ask));
    EXPECT_EQ(questions, 1);
    EXPECT_TRUE(suspends.empty());
}

TEST_F(PowerOnTestTest, PowerOnTestUsesOnlyASleepStateTheSystemAllows) {
    struct Case {
        platform::AcLineStatus ac;
        platform::SleepStates allowed;
        bool hibernate;
    };
    using platform::AcLineStatus;
    const std::vector<Case> cases = {
        {AcLineStatus::Online, {true, false}, false},
        {AcLineStatus::Online, {false, true}, true},
        {AcLineStatus::Unknown, {false, true}, true},
        {AcLineStatus::Unknown, {true, true}, false},
    };
    for (const Case& c : cases) {
        settings.writeFlag("Option", "mfirst", true);
        power.setAcLineStatus(c.ac);
        power.setAllowedSleepStates(c.allowed);
        EXPECT_TRUE(test.Offer(ask));
        ASSERT_FALSE(suspends.empty());
        EXPECT_EQ(suspends.back(), c.hibernate) << int(c.ac) << c.allowed.suspend << c.allowed.hibernate;
    }
    EXPECT_EQ(questions, 4);

    // Neither state allowed: not even asked, and not asked again later.
    settings.writeFlag("Option", "mfirst", true);
    power.setAcLineStatus(AcLineStatus::Online);
    power.setAllowedSleepStates({false, false});
    EXPECT_FALSE(test.Offer(ask));
    EXPECT_EQ(questions, 4);
    EXPECT_EQ(suspends.size(), 4u);
    EXPECT_FALSE(settings.readFlag("Option", "mfirst", true));
}

} // namespace
} // namespace orvanta::scheduler
