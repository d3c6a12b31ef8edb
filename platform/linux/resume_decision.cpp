#include "platform/linux/resume_decision.h"

namespace orvanta::platform::linux_backend {

bool WakeTimerFiredForResume(const ResumeEvidence& evidence) {
    if (!evidence.wakeTimerFired) return false;
    const auto fired = *evidence.wakeTimerFired;
    const auto earliest =
        evidence.sleepStarted ? *evidence.sleepStarted : evidence.resumed - kWakeFiringWindow;
    return fired >= earliest && fired <= evidence.decidedAt;
}

bool IsAutomaticResume(const ResumeEvidence& evidence) {
    if (!WakeTimerFiredForResume(evidence)) return false;
    if (!evidence.userIdle) return true;
    return *evidence.userIdle >= evidence.decidedAt - evidence.resumed;
}

} // namespace orvanta::platform::linux_backend
