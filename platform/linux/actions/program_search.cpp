#include "platform/linux/actions/program_search.h"

#include <cstdlib>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace orvanta::platform::linux_backend {
namespace {

bool isExecutableFile(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && access(path.c_str(), X_OK) == 0;
}

} // namespace

std::optional<std::string> FindProgram(const std::string& name) {
    if (name.empty()) return std::nullopt;
    if (name.find('/') != std::string::npos) {
        if (isExecutableFile(name)) return name;
        return std::nullopt;
    }
    const char* pathVariable = std::getenv("PATH");
    // What the C library searches when PATH is not set.
    std::string_view folders = pathVariable ? pathVariable : "/bin:/usr/bin";
    while (true) {
        const auto colon = folders.find(':');
        const std::string_view folder = folders.substr(0, colon);
        // An empty entry would mean the current folder; a scheduler should not start whatever happens to
        // lie there, so it is skipped.
        if (!folder.empty()) {
            std::string candidate(folder);
            candidate += '/';
            candidate += name;
            if (isExecutableFile(candidate)) return candidate;
        }
        if (colon == std::string_view::npos) break;
        folders.remove_prefix(colon + 1);
    }
    return std::nullopt;
}

bool IsDocumentRatherThanProgram(const std::string& path) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) return false;
    if (S_ISDIR(info.st_mode)) return true;
    return S_ISREG(info.st_mode) && access(path.c_str(), X_OK) != 0;
}

} // namespace orvanta::platform::linux_backend
