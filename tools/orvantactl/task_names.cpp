#include "tools/orvantactl/task_names.h"

#include "data/plain_text.h"

#include <cctype>

namespace orvanta::ctl {
namespace {

// Indexed by the stored code.
constexpr std::array<const char*, 6> kDateModeNames = {"hotkey",  "daily",    "once",
                                                       "monthly", "annually", "weekly"};
constexpr std::array<const char*, 10> kEventNames = {"none",       "wake",    "restart",   "shutdown",
                                                     "lock",       "standby", "hibernate", "logoff",
                                                     "monitoroff", "wake+run"};

template <std::size_t N>
std::optional<int> IndexOf(const std::array<const char*, N>& names, std::string_view name) {
    const std::string wanted = data::Lower(name);
    for (std::size_t i = 0; i < N; ++i)
        if (wanted == names[i]) return static_cast<int>(i);
    return std::nullopt;
}

template <std::size_t N> std::string NameAt(const std::array<const char*, N>& names, std::int64_t index) {
    return index >= 0 && index < static_cast<std::int64_t>(N) ? names[index] : "unknown";
}

} // namespace

std::optional<int> DateModeFromName(std::string_view name) {
    return IndexOf(kDateModeNames, name);
}
std::string DateModeName(std::int64_t dateMode) {
    return NameAt(kDateModeNames, dateMode);
}

std::optional<int> EventFromName(std::string_view name) {
    return IndexOf(kEventNames, name);
}
std::string EventName(std::int64_t event) {
    return NameAt(kEventNames, event);
}

std::string EventNameList() {
    std::string list;
    for (const char* name : kEventNames)
        list += (list.empty() ? "" : ", ") + std::string(name);
    return list;
}

std::optional<int> WeekdayFromName(std::string_view name) {
    return IndexOf(kWeekdayNames, name);
}

std::optional<Hotkey> HotkeyFromText(std::string_view text) {
    const std::size_t plus = text.rfind('+');
    if (plus == std::string_view::npos || plus + 2 != text.size()) return std::nullopt;
    const std::string modifier = data::Lower(text.substr(0, plus));
    const char key = static_cast<char>(std::toupper(static_cast<unsigned char>(text.back())));
    Hotkey hotkey;
    if (modifier == "ctrl")
        hotkey.modifier = 1;
    else if (modifier != "alt")
        return std::nullopt;
    if (!((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z'))) return std::nullopt;
    hotkey.key = key;
    return hotkey;
}

std::string ModifierName(std::int64_t hotkey1) {
    return hotkey1 == 1 ? "Ctrl" : "Alt";
}

std::string KeyName(std::int64_t hotkey2) {
    if ((hotkey2 >= '0' && hotkey2 <= '9') || (hotkey2 >= 'A' && hotkey2 <= 'Z'))
        return std::string(1, static_cast<char>(hotkey2));
    return "none";
}

} // namespace orvanta::ctl
