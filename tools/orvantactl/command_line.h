#pragma once

#include "platform/api/clock.h"
#include "tools/orvantactl/add_options.h"

#include <optional>
#include <string>
#include <vector>

namespace orvanta::ctl {

enum class Command {
    Help,
    Add,
    Show,
    Enable,
    Disable,
    Delete,
    Export,
    Import,
    List,
    Next,
    Run,
    Doctor,
    History
};

struct Invocation {
    std::optional<std::string> dataFolder;
    std::optional<platform::LocalDateTime> now; // stands in for the clock when given
    Command command = Command::Help;
    std::string operand; // the task ID (as canonical decimal text) or the file
    AddOptions add;
    // history: from this local moment on (default: everything kept), of this task only (default: all).
    std::optional<platform::LocalDateTime> since;
    std::string taskFilter;
};

// Reads the arguments after the program name. Raises UsageError for anything it cannot make sense of,
// so that a wrong command line never reaches the database.
Invocation ParseCommandLine(const std::vector<std::string>& args);

} // namespace orvanta::ctl
