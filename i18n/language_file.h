#pragma once

#include "data/settings/ini_document.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace orvanta::i18n {

// One language file, read once when opened and then answered from memory: a window asks it for every
// control and message, so it must not go back to the disk per lookup. Lookups follow the profile-string
// rules of wake.ini and never raise; whatever goes wrong leaves the caller's default.
class LanguageFile {
  public:
    explicit LanguageFile(std::string_view content) : document_(content) {}

    // Nothing when no file exists at the path or it cannot be read.
    static std::unique_ptr<LanguageFile> Open(const std::string& path) noexcept;

    bool hasSection(std::string_view section) const noexcept;
    // The value of the key, or nothing when the section or the key is missing.
    std::optional<std::string> value(std::string_view section, std::string_view key) const noexcept;
    std::string text(std::string_view section, std::string_view key,
                     std::string_view defaultValue) const noexcept;
    // Decimal, or hexadecimal after "0x"; nothing when missing or not wholly a number.
    std::optional<int> integer(std::string_view section, std::string_view key) const noexcept;

  private:
    ini::IniDocument document_;
};

} // namespace orvanta::i18n
