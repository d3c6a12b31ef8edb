#pragma once

#include <string>
#include <string_view>

namespace orvanta::macros {

// Replaces the file at path with the bytes, or creates it. The bytes go to a new file in the same folder,
// readable and writable by the owner only (a recording holds what the user typed), are flushed to the
// disk and only then renamed over the target, so a crash or a full disk leaves either the old file or the
// whole new one. A symbolic link is followed: the file behind it is replaced. False when any step failed;
// the target is then unchanged and no temporary file is left.
bool ReplaceMacroFileBytes(const std::string& path, std::string_view bytes);

} // namespace orvanta::macros
