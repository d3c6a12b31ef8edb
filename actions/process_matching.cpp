#include "actions/process_matching.h"

namespace orvanta::actions {
namespace {

// Linux keeps a process's own name in 15 characters; one of that length may have been cut.
constexpr std::size_t kCutShortNameLength = 15;

char UpperAscii(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (UpperAscii(a[i]) != UpperAscii(b[i])) return false;
    return true;
}

} // namespace

bool ProcessMatches(const platform::ProcessEntry& process, std::string_view name) {
    if (name.empty()) return false;
    auto matches = [&](std::string_view candidate) {
        return !candidate.empty() && SameName(candidate, name);
    };
    if (!process.imagePath.empty()) return matches(process.imageName) || matches(process.imagePath);
    // A backend may know the file name without the path.
    if (matches(process.imageName)) return true;
    return process.shortName.size() < kCutShortNameLength && matches(process.shortName);
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
