#pragma once

#include "platform/api/process_control.h"

#include <string_view>

namespace orvanta::actions {

// Whether a process is one of those a terminate value names, compared without regard to case (ASCII
// letters): the value is the file name or the full path of the program file the process runs. A full
// path is not reduced to its file name: it names one program, and same-named programs elsewhere are
// left alone. The name a process gives itself or was started under never counts, so "exec -a firefox"
// does not make a process firefox. Only where the program file cannot be read (another user's process)
// does the name the system keeps for the process stand in for its file name, and only when it is
// shorter than the 15 characters at which the system cuts it: a cut name would match every longer name
// that begins alike. An empty value matches nothing.
bool ProcessMatches(const platform::ProcessEntry& process, std::string_view terminateValue);

// Ends every matching process, hard. True when the last termination tried succeeded; false when
// nothing matched, the last one failed, or the processes could not be listed.
bool KillProcessesByName(platform::ProcessControl& processes, std::string_view terminateValue);

} // namespace orvanta::actions
