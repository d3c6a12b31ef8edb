#pragma once

#include "platform/api/clock.h"
#include "platform/api/system_paths.h"
#include "scheduler/dispatch_ports.h"

#include <ostream>
#include <string>
#include <vector>

namespace orvanta::ctl {

// Runs one command line (without the program name) and returns the exit status: 0 done, 1 failed,
// 2 the command line was wrong. Every error ends as one "orvantactl: ..." line on err. The clock is
// the one the command runs by unless the command line fixes a moment of its own. Tasks that list or
// next could not schedule do not stop the output: they follow it on err, one line each, with status 1.
// actions carry out what run asks for.
int RunOrvantactl(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                  const platform::Clock& clock, const platform::SystemPaths& paths,
                  scheduler::TaskActions& actions);

} // namespace orvanta::ctl
