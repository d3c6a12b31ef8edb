#pragma once

#include <string>

#include "platform/api/clock.h"

namespace orvanta::scheduler {

// What the main window holds for the scheduler between events. Everything here is touched on the GUI
// thread only; the run table itself is the rebuilder's.
struct SchedulerState {
    bool dispatchBusy = false;  // set by a pass, cleared by every rebuild
    platform::LocalDateTime lastPollTime;
    bool wasOnMains = true;
    std::string lastDispatchedKey; // a due key runs at most once, whichever waiter hands it over
};

} // namespace orvanta::scheduler
