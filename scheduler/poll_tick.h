#pragma once

#include <functional>

#include "platform/api/clock.h"
#include "scheduler/scheduler_state.h"

namespace orvanta::scheduler {

// Whole seconds from then to now the way the poll measures them: the day difference in days, the
// time-of-day difference in milliseconds truncated toward zero.
long long PollGapSeconds(const platform::LocalDateTime& then, const platform::LocalDateTime& now);

// The 10-second poll: a jump of the clock (resume, a changed system time) rebuilds the run table so the
// timers are re-armed from the current clock; leaving mains power warns once per change.
class PollTicker {
public:
    // acLineStatus: 0 offline, 1 online, 255 unknown (counts as mains).
    PollTicker(SchedulerState& state, const platform::Clock& clock, std::function<int()> acLineStatus,
               std::function<void()> rebuild, std::function<void()> warnOnBattery);

    // Returns true when it rebuilt.
    bool Tick();

private:
    SchedulerState& state_;
    const platform::Clock& clock_;
    std::function<int()> acLineStatus_;
    std::function<void()> rebuild_;
    std::function<void()> warnOnBattery_;
};

} // namespace orvanta::scheduler
