#include "data/settings/data_folder.h"

namespace orvanta::data {
namespace {

std::string Join(std::string_view folder, char separator, std::string_view name) {
    std::string path(folder);
    if (path.empty() || path.back() != separator) path += separator;
    return path + std::string(name);
}

} // namespace

std::string ResolveDataFolder(const platform::SystemPaths& paths) {
    std::string root = paths.appDataRoot();
    std::string folder =
        root.empty() ? paths.executableFolder() : Join(root, paths.pathSeparator(), "Orvanta");
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
