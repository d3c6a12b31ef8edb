#pragma once

#include "platform/api/program_launcher.h"

#include <functional>
#include <string>
#include <string_view>

namespace orvanta::actions {

// The two halves of a stored launch value "program | parameters", untrimmed: the task editor puts a
// blank on each side of the bar and both halves keep theirs.
struct LaunchValueParts {
    std::string program;    // before the first "|"
    std::string parameters; // after the first "|", up to a second one

    bool operator==(const LaunchValueParts&) const = default;
};

// A value without any "|" is taken as both the program and its parameters.
LaunchValueParts SplitLaunchValue(std::string_view value);

// Answers whether a file (anything but a folder) exists at a path.
using FileProbe = std::function<bool(const std::string& path)>;

// The probe the program uses: the file system, relative paths from the current folder.
FileProbe FileSystemProbe();

// How a launch value is started. The program is the first half without the blanks around it. When the
// whole parameter text names an existing file, it is one argument (and its text is quoted); otherwise it
// is split by SplitArguments.
platform::ProgramStart PrepareLaunch(std::string_view launchValue, const FileProbe& isFile);

// Blanks and tabs dropped at both ends.
std::string TrimBlanks(std::string_view text);

} // namespace orvanta::actions
