#pragma once

#include "platform/api/clock.h"
#include "scheduler/scheduler_state.h"

#include <functional>

namespace orvanta::scheduler {

// Whole seconds from then to now on the wall clock: the day difference in days, the time-of-day
// difference in milliseconds truncated toward zero. The poll measures the same on absolute moments, so
// that a daylight-saving change is not taken for a changed clock.
long long PollGapSeconds(const platform::LocalDateTime& then, const platform::LocalDateTime& now);

// The 10-second poll: a jump of the clock (resume, a changed system time) rebuilds the run table so the
// timers are re-armed from the current clock; leaving mains power warns once per change.
class PollTicker {
  public:
    // acLineStatus: 0 offline, 1 online, 255 unknown (counts as mains).
    // mustRebuild: asked at every tick; true when the timers are not armed as the table needs (a firing
    // that could not be handed over). A failed rebuild is tried again at every tick until one succeeds.
    PollTicker(SchedulerState& state, const platform::Clock& clock, std::function<int()> acLineStatus,
               std::function<void()> rebuild, std::function<void()> warnOnBattery,
               std::function<bool()> mustRebuild = {});

    // Returns true when it rebuilt.
    bool Tick();

  private:
    SchedulerState& state_;
    const platform::Clock& clock_;
    std::function<int()> acLineStatus_;
    std::function<void()> rebuild_;
    std::function<void()> warnOnBattery_;
    std::function<bool()> mustRebuild_;
};

} // namespace orvanta::scheduler
