#include "actions/launch_value.h"

#include "actions/argument_splitting.h"

#include <filesystem>

namespace orvanta::actions {

LaunchValueParts SplitLaunchValue(std::string_view value) {
    const auto bar = value.find('|');
    if (bar == std::string_view::npos) return {std::string(value), std::string(value)};
    std::string_view rest = value.substr(bar + 1);
    rest = rest.substr(0, rest.find('|'));
    return {std::string(value.substr(0, bar)), std::string(rest)};
}

FileProbe FileSystemProbe() {
    return [](const std::string& path) {
        if (path.empty()) return false;
        std::error_code ec;
        const auto status = std::filesystem::status(std::filesystem::path(path), ec);
        return !ec && std::filesystem::exists(status) && !std::filesystem::is_directory(status);
    };
}

std::string TrimBlanks(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(" \t");
    return std::string(text.substr(first, last - first + 1));
}

platform::ProgramStart PrepareLaunch(std::string_view launchValue, const FileProbe& isFile) {
    LaunchValueParts parts = SplitLaunchValue(launchValue);
    platform::ProgramStart start;
    start.program = TrimBlanks(parts.program);
    // The test is made on the text as stored: the editor's blank after the bar makes it no path, and
    // the parameters are then split like any other.
    if (isFile && isFile(parts.parameters)) {
        start.parameters = "\"" + parts.parameters + "\"";
        start.arguments = {parts.parameters};
    } else {
        start.arguments = SplitArguments(parts.parameters);
        start.parameters = std::move(parts.parameters);
    }
    return start;
}

} // namespace orvanta::actions
