#pragma once

#include "data/task_record.h"
#include "platform/api/desktop_facts.h"

#include <ostream>
#include <string>
#include <vector>

namespace orvanta::ctl {

// The program a Start at Log In entry starts; empty when there is none.
struct AutostartEntry {
    std::string program;
};

// Prints one line per check: "ok", "missing" or "note" (something absent that no task needs), what was
// found and, where the user can mend it, how. A check that an enabled task needs names the tasks.
// Returns 1 when an enabled task needs something missing, else 0.
int ReportDesktop(const platform::DesktopFacts& facts, const AutostartEntry& autostart,
                  const std::vector<data::TaskRecord>& tasks, std::ostream& out);

} // namespace orvanta::ctl
