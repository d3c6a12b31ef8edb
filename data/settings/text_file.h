#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace orvanta::ini {

// The whole content of a file, or nothing when it does not exist or cannot be read.
std::optional<std::string> ReadWholeFile(const std::string& path);

// Whether a file exists at the path (a folder or an unreadable place counts as no file).
bool FileExists(const std::string& path);

// Replaces the file with the content, or creates it. The content goes to a new file in the same folder
// first and is then renamed over the target, so readers and a crash see either the old or the new file,
// never a truncated one. Returns false when the system refused any step; the target is then unchanged.
bool ReplaceWholeFile(const std::string& path, std::string_view content);

} // namespace orvanta::ini
