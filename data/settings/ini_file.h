#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace orvanta::ini {

// One access to an INI file by path, as the profile-string calls make it: open, read or write, close.
// Nothing is cached, so a change made by anyone is seen by the next call.

// The value of the key, or nothing when the file, the section or the key is missing.
std::optional<std::string> ReadProfileString(const std::string& path, std::string_view section,
                                             std::string_view key);

// Writes one key, creating the file when missing (its folder must exist) and keeping every other line
// of it as it was. Returns false when the system refused the write or the names or value cannot be
// stored (IniDocument::isStorable); the file is then unchanged.
bool WriteProfileString(const std::string& path, std::string_view section, std::string_view key,
                        std::string_view value);

// Removes one key. A missing file, section or key is fine; returns false only when a needed rewrite
// of the file was refused.
bool DeleteProfileKey(const std::string& path, std::string_view section, std::string_view key);

} // namespace orvanta::ini
