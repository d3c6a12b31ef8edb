#pragma once

#include "platform/api/clock.h"
#include "scheduler/ran_occurrences.h"

#include <cstdint>
#include <string>

namespace orvanta::scheduler {

// What the main window holds for the scheduler between events. Everything here is touched on the GUI
// thread only; the run table itself is the rebuilder's.
struct SchedulerState {
    bool dispatchBusy = false; // set by a pass, cleared by every rebuild
    platform::LocalDateTime lastPollTime;
    std::int64_t lastPollUtcMs = 0; // the same moment, absolute: the poll measures its gap on it
    bool wasOnMains = true;
    bool rebuildFailed = false; // the last rebuild failed: the next poll tries again whatever the gap
    RanOccurrences ran;         // an occurrence runs at most once, whichever way its key comes back
    RanOccurrences toldNotRun;  // occurrences the run history has been told did not run, told once

    void MarkPolled(const platform::Clock& clock) {
        lastPollTime = clock.now();
        lastPollUtcMs = clock.nowUtcMs();
    }
};

} // namespace orvanta::scheduler
