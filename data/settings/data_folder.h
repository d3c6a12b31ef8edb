#pragma once

#include "platform/api/system_paths.h"

#include <string>
#include <string_view>

namespace orvanta::data {

// The folder holding task.db and wake.ini: "Orvanta" under the system's application-data root, without
// a trailing separator; the folder of the executable when the system names no root. The folder is
// created with its missing parents; a failure is not reported here, the next write into it fails.
std::string ResolveDataFolder(const platform::SystemPaths& paths);

std::string TaskDatabasePath(std::string_view dataFolder, char separator);
std::string SettingsFilePath(std::string_view dataFolder, char separator);

} // namespace orvanta::data
