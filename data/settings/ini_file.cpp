#include "data/settings/ini_file.h"

#include "data/settings/ini_document.h"
#include "data/settings/text_file.h"

namespace orvanta::ini {
namespace {

// The current text of a file about to be rewritten. An existing file we cannot read, and anything
// that is not a settings file at all, must not be replaced by one holding only our key, so those cases
// yield nothing.
std::optional<std::string> ContentToEdit(const std::string& path) {
    TextRead read = ReadTextFile(path);
    switch (read.kind) {
    case TextRead::Content:
        return std::move(read.content);
    case TextRead::Missing:
        return std::string();
    case TextRead::Refused:
        break;
    }
    return std::nullopt;
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
    TextRead read = ReadTextFile(path);
    if (read.kind != TextRead::Content) return read.kind == TextRead::Missing;
    IniDocument document(read.content);
    if (!document.removeKey(section, key)) return true;
    return ReplaceWholeFile(path, document.text());
}

} // namespace orvanta::ini
