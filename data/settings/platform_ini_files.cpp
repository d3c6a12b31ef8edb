#include "data/settings/ini_document.h"
#include "data/settings/ini_file.h"
#include "data/settings/text_file.h"
#include "platform/api/ini_files.h"

namespace orvanta::platform::ini_files {

std::optional<std::string> ValueIn(std::string_view text, std::string_view section, std::string_view key) {
    return ini::IniDocument(text).value(section, key);
}

std::optional<std::string> WithValue(std::string_view text, std::string_view section, std::string_view key,
                                     std::string_view value) {
    ini::IniDocument document(text);
    if (!document.setValue(section, key, value)) return std::nullopt;
    return document.text();
}

std::optional<std::string> ReadValue(const std::string& path, std::string_view section,
                                     std::string_view key) {
    return ini::ReadProfileString(path, section, key);
}

bool WriteValue(const std::string& path, std::string_view section, std::string_view key,
                std::string_view value) {
    return ini::WriteProfileString(path, section, key, value);
}

bool RemoveValue(const std::string& path, std::string_view section, std::string_view key) {
    return ini::DeleteProfileKey(path, section, key);
}

std::optional<std::string> ReadWholeFile(const std::string& path) {
    return ini::ReadWholeFile(path);
}

bool ReplaceWholeFile(const std::string& path, std::string_view content) {
    return ini::ReplaceWholeFile(path, content);
}

} // namespace orvanta::platform::ini_files
