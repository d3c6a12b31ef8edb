#pragma once

#include "data/task_store.h"
#include "platform/api/clock.h"
#include "scheduler/dispatch_ports.h"

#include <functional>
#include <string>

namespace orvanta::scheduler {

// Carries out a task's actions now, as a press of its hotkey would: no count-down, the hotkey order of
// actions, nothing written to the database. Each action is named through say as it starts ("launch
// /usr/bin/true|", "shut down"). Raises when the task does not exist or its macro could not be started
// (its later actions then do not run). The command line and the program's bus share this, so that a task
// run either way does the same.
void RunTaskNow(const data::TaskStore& store, const std::string& id, TaskActions& actions,
                CloseAllowance& closeAllowance, const platform::Clock& clock,
                const std::function<void(const std::string& action)>& say);

} // namespace orvanta::scheduler
