#include "data/settings/settings.h"

#include "data/error.h"
#include "data/settings/ini_file.h"

#include <charconv>
#include <limits>
#include <optional>

namespace orvanta::data {
namespace {

std::optional<int> ParseInteger(std::string_view text) {
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    }
    // from_chars would accept a second sign here; only digits may follow.
    if (text.empty() || text.front() == '-' || text.front() == '+') return std::nullopt;
    long long magnitude = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), magnitude, base);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    long long value = negative ? -magnitude : magnitude;
    if (value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max())
        return std::nullopt;
    return static_cast<int>(value);
}

} // namespace

bool Settings::readFlag(std::string_view section, std::string_view key, bool defaultValue) const {
    std::optional<std::string> text = ini::ReadProfileString(filePath_, section, key);
    std::optional<int> number = text ? ParseInteger(*text) : std::nullopt;
    return number ? *number != 0 : defaultValue;
}

int Settings::readInteger(std::string_view section, std::string_view key, int defaultValue) const {
    std::optional<std::string> text = ini::ReadProfileString(filePath_, section, key);
    std::optional<int> number = text ? ParseInteger(*text) : std::nullopt;
    return number.value_or(defaultValue);
}

std::string Settings::readText(std::string_view section, std::string_view key,
                               std::string_view defaultValue) const {
    std::optional<std::string> text = ini::ReadProfileString(filePath_, section, key);
    return text ? *text : std::string(defaultValue);
}

void Settings::writeFlag(std::string_view section, std::string_view key, bool value) {
    writeText(section, key, value ? "1" : "0");
}

void Settings::writeInteger(std::string_view section, std::string_view key, int value) {
    writeText(section, key, std::to_string(value));
}

void Settings::writeText(std::string_view section, std::string_view key, std::string_view value) {
    if (!ini::WriteProfileString(filePath_, section, key, value))
        throw Error("Unable to write to " + filePath_);
}

} // namespace orvanta::data
