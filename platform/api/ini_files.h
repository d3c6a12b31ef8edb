#pragma once

#include <optional>
#include <string>
#include <string_view>

// The core's INI and text-file routines, for the backends that keep settings in files of their own (the
// registry stand-in, a desktop's configuration file). Reads follow the profile-string rules; every write
// replaces the file whole, so that a reader never sees half of it.
namespace orvanta::platform::ini_files {

// The value of a key in INI text, or nothing when the section or the key is missing.
std::optional<std::string> ValueIn(std::string_view text, std::string_view section, std::string_view key);

// The INI text with the key set in its section (added at the section's end, or the section at the text's
// end), every other line kept as it was; nothing when the names or the value do not fit on one INI line.
std::optional<std::string> WithValue(std::string_view text, std::string_view section, std::string_view key,
                                     std::string_view value);

// One key of an INI file; nothing when the file, the section or the key is missing.
std::optional<std::string> ReadValue(const std::string& path, std::string_view section, std::string_view key);

// Sets one key of an INI file, creating the file when missing (its folder must exist).
bool WriteValue(const std::string& path, std::string_view section, std::string_view key,
                std::string_view value);

// Removes one key; a missing file, section or key is fine. False only when the rewrite was refused.
bool RemoveValue(const std::string& path, std::string_view section, std::string_view key);

// The whole content of a small regular file; nothing when it is missing or is not such a file.
std::optional<std::string> ReadWholeFile(const std::string& path);

// Replaces the file with the content, or creates it.
bool ReplaceWholeFile(const std::string& path, std::string_view content);

} // namespace orvanta::platform::ini_files
