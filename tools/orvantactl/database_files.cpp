#include "tools/orvantactl/database_files.h"

#include "data/database_checks.h"
#include "data/error.h"
#include "data/settings/data_folder.h"
#include "data/task_store.h"

#include <filesystem>

namespace orvanta::ctl {
namespace {

namespace fs = std::filesystem;

bool SameFile(const std::string& a, const std::string& b) {
    std::error_code ec;
    return fs::equivalent(a, b, ec);
}

std::string Quoted(const std::string& text) {
    return "\"" + text + "\"";
}

} // namespace

std::string ChooseDataFolder(const std::optional<std::string>& chosenFolder,
                             const platform::SystemPaths& paths) {
    if (!chosenFolder) return data::ResolveDataFolder(paths);
    std::error_code ec;
    // A typing mistake should not quietly start a second, empty installation.
    if (!fs::is_directory(*chosenFolder, ec))
        throw Error("data folder " + Quoted(*chosenFolder) + " does not exist");
    return *chosenFolder;
}

std::string PrepareTaskDatabase(const std::string& dataFolder, char pathSeparator) {
    const std::string database = data::TaskDatabasePath(dataFolder, pathSeparator);
    data::SeedTaskDatabase(database);
    std::error_code ec;
    if (!fs::exists(database, ec)) throw Error("could not create the task database " + Quoted(database));
    return database;
}

void ExportTasks(const std::string& database, const std::string& file) {
    if (SameFile(database, file)) throw Error(Quoted(file) + " is the task database itself");
    std::error_code ec;
    if (fs::exists(fs::symlink_status(file, ec))) {
        const bool empty = fs::is_regular_file(file, ec) && fs::file_size(file, ec) == 0 && !ec;
        if (!empty && !data::IsTaskDatabase(file))
            throw Error(Quoted(file) + " exists and is not a task database; not replacing it");
    }
    data::CopyDatabase(database, file);
}

void ImportTasks(const std::string& database, const std::string& file) {
    if (!data::IsTaskDatabase(file)) {
        // Names what else a sound database holds, such as a trigger added to a backup.
        if (data::DatabaseDamage(file).empty()) {
            const std::string extra = data::ObjectBeyondTaskTable(file);
            if (!extra.empty())
                throw Error(Quoted(file) + " is not a task database (it holds " + extra + ")");
        }
        throw Error(Quoted(file) + " is not a task database");
    }
    if (SameFile(database, file)) throw Error(Quoted(file) + " is the task database itself");
    data::CopyDatabase(file, database);
}

} // namespace orvanta::ctl
