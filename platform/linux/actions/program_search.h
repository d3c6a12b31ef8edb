#pragma once

#include <optional>
#include <string>

namespace orvanta::platform::linux_backend {

// Where a program named as a shell would name it lives: a name with a slash is taken as a path (from
// the current folder when relative), a bare name is looked for in the folders of $PATH, in order. Only
// executable files count. nullopt when there is none.
std::optional<std::string> FindProgram(const std::string& name);

// Whether the path names something other than a program that runs: a folder or a file without execute
// permission. Such a "program" is opened as a document instead.
bool IsDocumentRatherThanProgram(const std::string& path);

} // namespace orvanta::platform::linux_backend
