#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace orvanta::ctl {

// The words the command line uses for trigger kinds, events, weekdays and hotkeys, shared by the
// parser and by show, so that what show prints can be typed back into add.

std::optional<int> DateModeFromName(std::string_view name);
std::string DateModeName(std::int64_t dateMode); // "unknown" outside 0-5

std::optional<int> EventFromName(std::string_view name);
std::string EventName(std::int64_t event); // "unknown" outside 0-9
// "none, wake, restart, ..." for the help text.
std::string EventNameList();

// Weekdays in the table's column order, Sunday first.
inline constexpr std::array<const char*, 7> kWeekdayNames = {"sun", "mon", "tue", "wed", "thu", "fri", "sat"};
std::optional<int> WeekdayFromName(std::string_view name); // index into kWeekdayNames

struct Hotkey {
    int modifier = 0; // the stored Hotkey1: 1 Ctrl, 0 Alt
    int key = 0;      // the stored Hotkey2: character code of 0-9 or A-Z
};
// "alt+1", "Ctrl+k"; nullopt when it is neither modifier or the key is not one digit or letter.
std::optional<Hotkey> HotkeyFromText(std::string_view text);
std::string ModifierName(std::int64_t hotkey1);
// The key's character, or "none" for a code outside 0-9 and A-Z (such as the 47 of timed tasks).
std::string KeyName(std::int64_t hotkey2);

} // namespace orvanta::ctl
