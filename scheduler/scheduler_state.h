#pragma once

#include <string>

#include "platform/api/clock.h"
#include "scheduler/run_table.h"

namespace orvanta::scheduler {

// What the main window holds for the scheduler between events. Everything here is touched on the GUI
// thread only; the waiters hand their keys over through PendingKeys.
struct SchedulerState {
    RunTable table;
    std::string hint;           // the notification-area hint of the last rebuild
    bool dispatchBusy = false;  // set by a pass, cleared by every rebuild
    platform::LocalDateTime lastPollTime;
    bool wasOnMains = true;
    std::string lastDispatchedKey; // a due key runs at most once, whichever waiter hands it over
};

} // namespace orvanta::scheduler
