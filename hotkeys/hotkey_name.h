#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace orvanta::hotkeys {

// The combination of a hotkey task as the system registers it.
struct HotkeyCombination {
    unsigned modifiers = 0; // Hotkey1 + 1: 1 Alt, 2 Ctrl
    unsigned virtualKey = 0;
    bool operator==(const HotkeyCombination&) const = default;
};

// The name a combination is registered and matched under: "KRL" with both columns as stored, so Alt+A is
// "KRL065" and Ctrl+7 "KRL155".
std::string HotkeyName(std::string_view hotkey1, std::string_view hotkey2);

// The name a pressed combination is looked up by.
std::string PressedHotkeyName(unsigned modifiers, unsigned virtualKey);

// The list's key text: "Ctrl + " for Hotkey1 "1", else "Alt + ", then the key's character. Empty when
// Hotkey2 is no integer.
std::string HotkeyKeyText(std::string_view hotkey1, std::string_view hotkey2);

// Both columns as numbers; nothing when either is empty or not decimal.
std::optional<HotkeyCombination> DecodeHotkey(std::string_view hotkey1, std::string_view hotkey2);

// Decimal text with an optional sign, within int; the integer test the list's filling uses.
std::optional<int> ParseDecimal(std::string_view text);

} // namespace orvanta::hotkeys
