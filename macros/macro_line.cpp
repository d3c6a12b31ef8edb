#include "macros/macro_line.h"

#include <charconv>
#include <optional>

namespace orvanta::macros {

namespace {

bool DigitsOrMinus(std::string_view text) {
    if (text.empty()) return false;
    for (char c : text)
        if ((c < '0' || c > '9') && c != '-') return false;
    return true;
}

std::optional<std::int32_t> ToInt(std::string_view text) {
    std::int32_t value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end) return std::nullopt;
    return value;
}

// Splits at the first blank: the text before it, and the rest after it. Without a blank the head is empty
// and the rest is everything.
std::pair<std::string_view, std::string_view> SplitAtBlank(std::string_view text) {
    const auto blank = text.find(' ');
    if (blank == std::string_view::npos) return {std::string_view{}, text};
    return {text.substr(0, blank), text.substr(blank + 1)};
}

std::string Upper(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return out;
}

unsigned MouseFlagOf(const std::string& command) {
    if (command == "MOUSE_MOVE") return kMouseMove;
    if (command == "MOUSE_LEFTDOWN") return kMouseLeftDown;
    if (command == "MOUSE_LEFTUP") return kMouseLeftUp;
    if (command == "MOUSE_RIGHTDOWN") return kMouseRightDown;
    if (command == "MOUSE_RIGHTUP") return kMouseRightUp;
    if (command == "MOUSE_MIDDLEDOWN") return kMouseMiddleDown;
    if (command == "MOUSE_MIDDLEUP") return kMouseMiddleUp;
    return 0;
}

} // namespace

MacroEvent ParseMacroLine(std::string_view line) {
    MacroEvent event;
    const auto [token, afterTime] = SplitAtBlank(line);
    if (!DigitsOrMinus(token)) return event;
    const auto time = ToInt(token);
    if (!time) {
        event.kind = MacroEvent::Kind::BadTime;
        return event;
    }
    event.time = *time;
    event.kind = MacroEvent::Kind::WaitOnly;

    const auto [commandText, rest] = SplitAtBlank(afterTime);
    const std::string command = Upper(commandText);
    if (command == "INPUT") {
        event.kind = MacroEvent::Kind::Paste;
        event.text = std::string(rest);
        return event;
    }
    const auto [first, second] = SplitAtBlank(rest);

    if (command == "KEY_DOWN" || command == "KEY_UP") {
        const auto key = ToInt(second);
        if (!key) {
            event.kind = MacroEvent::Kind::BadArgument;
            return event;
        }
        event.kind = command == "KEY_DOWN" ? MacroEvent::Kind::KeyDown : MacroEvent::Kind::KeyUp;
        event.virtualKey = static_cast<unsigned>(*key);
        return event;
    }
    if (!DigitsOrMinus(first) || !DigitsOrMinus(second)) return event;
    const auto a = ToInt(first);
    const auto b = ToInt(second);
    if (!a || !b) {
        event.kind = MacroEvent::Kind::BadArgument;
        return event;
    }
    if (command == "MOUSE_WHEEL") {
        event.kind = MacroEvent::Kind::Wheel;
        event.wheelDelta = *a;
        return event;
    }
    event.kind = MacroEvent::Kind::Pointer;
    event.x = *a;
    event.y = *b;
    event.mouseFlag = MouseFlagOf(command);
    return event;
}

} // namespace orvanta::macros
