#pragma once

#include "platform/api/system_paths.h"

#include <optional>
#include <string>

namespace orvanta::ctl {

// The path of task.db in the chosen data folder (the resolved default when none is given), seeded from
// the template when missing, as the program does at start-up. A chosen folder must already exist.
std::string PrepareTaskDatabase(const std::optional<std::string>& chosenFolder,
                                const platform::SystemPaths& paths);

// A complete copy of the task database into the file. An existing file is replaced only when it is
// empty or itself a task database, so a mistyped name cannot destroy an unrelated document.
void ExportTasks(const std::string& database, const std::string& file);

// Replaces the task database by the file's, which must be a task database; otherwise nothing changes.
void ImportTasks(const std::string& database, const std::string& file);

} // namespace orvanta::ctl
