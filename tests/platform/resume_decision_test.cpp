#include "platform/linux/resume_decision.h"

#include <gtest/gtest.h>

namespace orvanta::platform::linux_backend {
namespace {

using std::chrono::milliseconds;
using std::chrono::seconds;

// Asleep from 1000 s to 5000 s on the boot clock; decided 2 s after the resume.
ResumeEvidence nightlyWake() {
    ResumeEvidence evidence;
    evidence.sleepStarted = seconds(1000);
    evidence.resumed = seconds(5000);
    evidence.wakeTimerFired = seconds(5000) - milliseconds(300);
    evidence.userIdle = seconds(600);
    evidence.decidedAt = seconds(5002);
    return evidence;
}

TEST(ResumeDecision, AutomaticOnlyWhenOurTimerWokeTheComputerAndNobodyTouchedIt) {
    EXPECT_TRUE(IsAutomaticResume(nightlyWake()));

    auto noTimer = nightlyWake();
    noTimer.wakeTimerFired.reset();
    EXPECT_FALSE(IsAutomaticResume(noTimer));

    auto firedBeforeSleep = nightlyWake();
    firedBeforeSleep.wakeTimerFired = seconds(999);
    EXPECT_FALSE(IsAutomaticResume(firedBeforeSleep));

    auto firedAfterResume = nightlyWake();
    firedAfterResume.wakeTimerFired = seconds(5001);
    EXPECT_TRUE(IsAutomaticResume(firedAfterResume)) << "the firing may be seen after the announcement";

    auto inputSinceResume = nightlyWake();
    inputSinceResume.userIdle = milliseconds(1500); // a key was pressed 0.5 s after the resume
    EXPECT_FALSE(IsAutomaticResume(inputSinceResume));

    auto idleExactlySinceResume = nightlyWake();
    idleExactlySinceResume.userIdle = seconds(2);
    EXPECT_TRUE(IsAutomaticResume(idleExactlySinceResume));

    auto noDesktop = nightlyWake();
    noDesktop.userIdle.reset();
    EXPECT_TRUE(IsAutomaticResume(noDesktop)) << "without an idle counter the timer alone decides";
}

TEST(ResumeDecision, UnseenSleepStartLimitsHowOldAFiringMayBe) {
    auto recent = nightlyWake();
    recent.sleepStarted.reset();
    recent.wakeTimerFired = recent.resumed - kWakeFiringWindow;
    EXPECT_TRUE(WakeTimerFiredForResume(recent));

    auto stale = recent;
    stale.wakeTimerFired = recent.resumed - kWakeFiringWindow - milliseconds(1);
    EXPECT_FALSE(WakeTimerFiredForResume(stale));
}

} // namespace
} // namespace orvanta::platform::linux_backend
