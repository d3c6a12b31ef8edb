#include "data/settings/data_folder.h"

namespace orvanta::data {
namespace {

std::string Join(std::string_view folder, char separator, std::string_view name) {
    std::string path(folder);
    if (path.empty() || path.back() != separator) path += separator;
    return path + std::string(name);
}

std::string ExecutableFolder(const platform::SystemPaths& paths) {
    std::string executable = paths.executablePath();
    std::size_t last = executable.rfind(paths.pathSeparator());
    if (last == std::string::npos) return ".";
    // An executable in the root folder keeps the root's one separator.
    return executable.substr(0, last == 0 ? 1 : last);
}

} // namespace

std::string ResolveDataFolder(const platform::SystemPaths& paths) {
    std::string root = paths.appDataRoot();
    std::string folder =
        root.empty() ? ExecutableFolder(paths) : Join(root, paths.pathSeparator(), "Orvanta");
    (void)paths.ensureFolder(folder);
    return folder;
}

std::string TaskDatabasePath(std::string_view dataFolder, char separator) {
    return Join(dataFolder, separator, "task.db");
}

std::string SettingsFilePath(std::string_view dataFolder, char separator) {
    return Join(dataFolder, separator, "wake.ini");
}

} // namespace orvanta::data
