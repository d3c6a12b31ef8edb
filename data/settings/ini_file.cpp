#include "data/settings/ini_file.h"

#include "data/settings/ini_document.h"
#include "data/settings/text_file.h"

namespace orvanta::ini {
namespace {

// The current text of a file about to be rewritten. An existing file we cannot read must not be
// replaced by one holding only our key, so that case yields nothing.
std::optional<std::string> ContentToEdit(const std::string& path) {
    if (std::optional<std::string> content = ReadWholeFile(path)) return content;
    if (FileExists(path)) return std::nullopt;
    return std::string();
}

} // namespace

std::optional<std::string> ReadProfileString(const std::string& path, std::string_view section,
                                             std::string_view key) {
    std::optional<std::string> content = ReadWholeFile(path);
    if (!content) return std::nullopt;
    return IniDocument(*content).value(section, key);
}

bool WriteProfileString(const std::string& path, std::string_view section, std::string_view key,
                        std::string_view value) {
    std::optional<std::string> content = ContentToEdit(path);
    if (!content) return false;
    IniDocument document(*content);
    if (!document.setValue(section, key, value)) return false;
    return ReplaceWholeFile(path, document.text());
}

bool DeleteProfileKey(const std::string& path, std::string_view section, std::string_view key) {
    std::optional<std::string> content = ReadWholeFile(path);
    if (!content) return !FileExists(path);
    IniDocument document(*content);
    if (!document.removeKey(section, key)) return true;
    return ReplaceWholeFile(path, document.text());
}

} // namespace orvanta::ini
