#include "hotkeys/hotkey_name.h"

#include "data/utf8.h"

#include <charconv>

namespace orvanta::hotkeys {

std::optional<int> ParseDecimal(std::string_view text) {
    const char* begin = text.data();
    const char* end = begin + text.size();
    if (begin != end && *begin == '+') ++begin;
    if (begin == end) return std::nullopt;
    int value = 0;
    const auto [ptr, ec] = std::from_chars(begin, end, value);
    if (ec != std::errc() || ptr != end) return std::nullopt;
    return value;
}

std::string HotkeyName(std::string_view hotkey1, std::string_view hotkey2) {
    std::string name = "KRL";
    name.append(hotkey1).append(hotkey2);
    return name;
}

std::string PressedHotkeyName(unsigned modifiers, unsigned virtualKey) {
    return "KRL" + std::to_string(static_cast<long long>(modifiers) - 1) + std::to_string(virtualKey);
}

namespace {

// The key's character as UTF-8; the keys of a hotkey task are ASCII digits and letters.
std::string CharacterOf(int code) {
    if (code <= 0 || code > 0x10FFFF) return {};
    std::string out;
    data::AppendUtf8(out, static_cast<char32_t>(code));
    return out;
}

} // namespace

std::string HotkeyKeyText(std::string_view hotkey1, std::string_view hotkey2) {
    const auto key = ParseDecimal(hotkey2);
    if (!key) return {};
    return (hotkey1 == "1" ? "Ctrl + " : "Alt + ") + CharacterOf(*key);
}

std::optional<HotkeyCombination> DecodeHotkey(std::string_view hotkey1, std::string_view hotkey2) {
    const auto modifier = ParseDecimal(hotkey1);
    const auto key = ParseDecimal(hotkey2);
    if (!modifier || !key) return std::nullopt;
    return HotkeyCombination{static_cast<unsigned>(*modifier + 1), static_cast<unsigned>(*key)};
}

} // namespace orvanta::hotkeys
