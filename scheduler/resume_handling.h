#pragma once

#include "data/settings/settings.h"
#include "platform/api/keep_awake.h"
#include "platform/api/resume_monitor.h"

#include <atomic>
#include <functional>

namespace orvanta::scheduler {

// What happens when the computer comes back from sleep: after a wake-up nobody asked for in person the
// display is switched on and the computer kept awake for the task; once the user is back, the ordinary
// idle sleep applies again.
class ResumeHandling {
  public:
    struct Ports {
        platform::KeepAwake& keepAwake;
        const data::Settings& settings;
        std::function<void()>
            nudgePointer; // a synthetic mouse move, so the desktop treats the user as present
        std::function<void()> lockComputer;
    };

    explicit ResumeHandling(Ports ports);

    // GUI thread, for each resume the platform reports.
    void OnResume(const platform::ResumeEvent& event);

    // The one-shot timer after a wake-up (Timer12).
    void Timer12Timer();

    // Any thread: the platform has announced a wake-up nobody asked for in person.
    void NoteAutomaticResume();
    // Asked on a wake timer's thread: whether such a wake-up came within the last minute.
    bool ResumedAutomaticallyJustNow() const;

  private:
    void KeepAwakeWithDisplayOn();
    Ports ports_;
    std::atomic<long long> lastAutomaticResume_{0}; // steady-clock ticks; 0: none yet
};

} // namespace orvanta::scheduler
