#pragma once

#include "platform/api/clock.h"
#include "platform/api/desktop_facts.h"
#include "platform/api/run_history.h"
#include "platform/api/running_program.h"
#include "platform/api/system_paths.h"
#include "scheduler/dispatch_ports.h"

#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace orvanta::ctl {

// What doctor asks: the desktop, and the program a Start at Log In entry starts (empty: none). Without a
// probe, doctor says it is not available here.
struct DoctorPorts {
    std::function<platform::DesktopFacts()> probe;
    std::function<std::string()> autostartProgram;
    // Where history reads from; nullptr: history is not available here.
    const platform::RunHistory* runHistory = nullptr;
};

// Runs one command line (without the program name) and returns the exit status: 0 done, 1 failed,
// 2 the command line was wrong. Every error ends as one "orvantactl: ..." line on err. The clock is
// the one the command runs by unless the command line fixes a moment of its own. Tasks that list or
// next could not schedule do not stop the output: they follow it on err, one line each, with status 1.
// actions carry out what run asks for. A running program of the same data folder (nullptr: none) is told of
// every change and waited for, and answers list, next and run itself.
int RunOrvantactl(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                  const platform::Clock& clock, const platform::SystemPaths& paths,
                  scheduler::TaskActions& actions, const DoctorPorts& doctor = {},
                  platform::RunningProgram* runningProgram = nullptr);

} // namespace orvanta::ctl
