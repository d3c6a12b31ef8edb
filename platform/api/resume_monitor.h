#pragma once

#include <functional>

namespace orvanta::platform {

struct ResumeEvent {
    // True when the computer woke up by itself (for a wake-up timer) and nobody has used it since; false
    // when the user woke it or is at it.
    bool automatic = false;
};

// Tells when the computer has come back from sleep or hibernation.
class ResumeMonitor {
  public:
    virtual ~ResumeMonitor() = default;

    // Starts delivering events to onResumed, on a thread the monitor owns: the receiver hands them over to
    // its own thread. Returns false when this system cannot report resumes (nothing is delivered then).
    // Starting a running monitor changes nothing and answers true.
    virtual bool start(std::function<void(const ResumeEvent&)> onResumed) = 0;

    // Ends delivery; when it returns, no event is being delivered and none will be. Also done on destruction.
    virtual void stop() = 0;
};

} // namespace orvanta::platform
