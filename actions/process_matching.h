#pragma once

#include "platform/api/process_control.h"

#include <string_view>

namespace orvanta::actions {

// Whether a process is one of those a terminate value names, compared without regard to case (ASCII
// letters). A bare program name matches the file name of the program the process runs, the name the
// system keeps for the process, or the file name of the name it was started under; a full path matches
// the full path of the program, or the name it was started under when that was the same path. A full
// path is not reduced to its file name: it names one program, and same-named programs elsewhere are
// left alone. An empty value matches nothing.
bool ProcessMatches(const platform::ProcessEntry& process, std::string_view terminateValue);

// Ends every matching process, hard. True when the last termination tried succeeded; false when
// nothing matched, the last one failed, or the processes could not be listed.
bool KillProcessesByName(platform::ProcessControl& processes, std::string_view terminateValue);

} // namespace orvanta::actions
