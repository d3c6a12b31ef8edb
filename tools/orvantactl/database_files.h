#pragma once

#include "platform/api/system_paths.h"

#include <optional>
#include <string>

namespace orvanta::ctl {

// The chosen data folder, which must already exist, or the resolved default when none is chosen.
std::string ChooseDataFolder(const std::optional<std::string>& chosenFolder,
                             const platform::SystemPaths& paths);

// The path of task.db in the data folder, seeded from the template when missing, as the program does
// at start-up.
std::string PrepareTaskDatabase(const std::string& dataFolder, char pathSeparator);

// A complete copy of the task database into the file. An existing file is replaced only when it is
// empty or itself a task database, so a mistyped name cannot destroy an unrelated document.
void ExportTasks(const std::string& database, const std::string& file);

// Replaces the task database by the file's, which must be a task database; otherwise nothing changes.
void ImportTasks(const std::string& database, const std::string& file);

} // namespace orvanta::ctl
