#include "i18n/language_file.h"

#include "data/settings/text_file.h"
#include "i18n/code_pages.h"

#include <charconv>
#include <limits>

namespace orvanta::i18n {

std::unique_ptr<LanguageFile> LanguageFile::Open(const std::string& path) noexcept {
    try {
        // Checked first because a folder of that name would otherwise read as an empty file.
        if (path.empty() || !ini::FileExists(path)) return nullptr;
        std::optional<std::string> content = ini::ReadWholeFile(path);
        if (!content) return nullptr;
        auto file = std::make_unique<LanguageFile>(*content);
        // A file saved in its language's 8-bit code page says which one by its character set; the key
        // and the section names are plain ASCII, so they read the same before decoding.
        if (!IsUtf8(*content))
            file = std::make_unique<LanguageFile>(
                DecodeCharset(*content, file->integer("General", "Charset").value_or(0)));
        return file;
    } catch (...) {
        return nullptr;
    }
}

bool LanguageFile::hasSection(std::string_view section) const noexcept {
    try {
        return document_.hasSection(section);
    } catch (...) {
        return false;
    }
}

std::optional<std::string> LanguageFile::value(std::string_view section,
                                               std::string_view key) const noexcept {
    try {
        return document_.value(section, key);
    } catch (...) {
        return std::nullopt;
    }
}

std::string LanguageFile::text(std::string_view section, std::string_view key,
                               std::string_view defaultValue) const noexcept {
    // Without memory even the default cannot be copied; an empty text is all that is left to give.
    try {
        std::optional<std::string> found = value(section, key);
        return found ? std::move(*found) : std::string(defaultValue);
    } catch (...) {
        return {};
    }
}

std::optional<int> LanguageFile::integer(std::string_view section, std::string_view key) const noexcept {
    std::optional<std::string> found = value(section, key);
    if (!found) return std::nullopt;
    std::string_view digits = *found;
    bool negative = false;
    if (!digits.empty() && (digits.front() == '-' || digits.front() == '+')) {
        negative = digits.front() == '-';
        digits.remove_prefix(1);
    }
    int base = 10;
    if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
        base = 16;
        digits.remove_prefix(2);
    }
    if (digits.empty() || digits.front() == '-' || digits.front() == '+') return std::nullopt;
    long long magnitude = 0;
    auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), magnitude, base);
    if (error != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
    const long long number = negative ? -magnitude : magnitude;
    if (number < std::numeric_limits<int>::min() || number > std::numeric_limits<int>::max())
        return std::nullopt;
    return static_cast<int>(number);
}

} // namespace orvanta::i18n
