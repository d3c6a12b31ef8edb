#include "actions/process_matching.h"

namespace orvanta::actions {
namespace {

char UpperAscii(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (UpperAscii(a[i]) != UpperAscii(b[i])) return false;
    return true;
}

// Both separators count: the name a process was started under may come from either kind of system.
std::string_view FileNamePart(std::string_view path) {
    const auto slash = path.find_last_of("/\\");
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

} // namespace

bool ProcessMatches(const platform::ProcessEntry& process, std::string_view name) {
    if (name.empty()) return false;
    auto matches = [&](std::string_view candidate) {
        return !candidate.empty() && SameName(candidate, name);
    };
    return matches(process.imageName) || matches(process.imagePath) || matches(process.shortName) ||
           matches(process.firstArgument) || matches(FileNamePart(process.firstArgument));
}

bool KillProcessesByName(platform::ProcessControl& processes, std::string_view name) {
    const auto list = processes.listProcesses();
    if (!list) return false;
    bool lastSucceeded = false;
    for (const platform::ProcessEntry& process : *list)
        if (ProcessMatches(process, name)) lastSucceeded = processes.killProcess(process.id);
    return lastSucceeded;
}

} // namespace orvanta::actions
