#pragma once

#include "data/task_store.h"
#include "platform/api/clock.h"
#include "scheduler/dispatch_ports.h"

#include <ostream>
#include <string>

namespace orvanta::ctl {

// Carries out the task's actions now, as a press of its hotkey would: no count-down, the hotkey order
// of actions, nothing written to the database. Each action is named on out as it starts. Raises when
// the task does not exist or its macro could not be started (its later actions then do not run).
void RunTaskNow(const data::TaskStore& store, const std::string& id, scheduler::TaskActions& actions,
                const platform::Clock& clock, std::ostream& out);

} // namespace orvanta::ctl
