#pragma once

#include <chrono>
#include <optional>

namespace orvanta::platform::linux_backend {

// What is known at one resume, every moment on the boot clock (which counts time asleep).
struct ResumeEvidence {
    std::optional<std::chrono::milliseconds> sleepStarted;   // when the computer announced going to sleep
    std::chrono::milliseconds resumed{0};                    // when it announced being back
    std::optional<std::chrono::milliseconds> wakeTimerFired; // latest firing of one of our waking timers
    std::optional<std::chrono::milliseconds> userIdle;       // nullopt: the desktop cannot tell
    std::chrono::milliseconds decidedAt{0};                  // now
};

// When going to sleep went unseen, a firing this long before the resume still counts as its cause.
inline constexpr std::chrono::seconds kWakeFiringWindow{120};

// True when one of our waking timers fired after the computer went to sleep (or, that moment unknown,
// shortly before it was back) and no later than now.
bool WakeTimerFiredForResume(const ResumeEvidence& evidence);

// Automatic: our timer woke the computer and nobody has used keyboard or mouse since it came back. Where
// the desktop cannot tell the idle time, the timer alone decides.
bool IsAutomaticResume(const ResumeEvidence& evidence);

} // namespace orvanta::platform::linux_backend
