#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace orvanta::macros {

// Windows mouse_event flags the line commands stand for.
inline constexpr unsigned kMouseMove = 0x0001;
inline constexpr unsigned kMouseLeftDown = 0x0002;
inline constexpr unsigned kMouseLeftUp = 0x0004;
inline constexpr unsigned kMouseRightDown = 0x0008;
inline constexpr unsigned kMouseRightUp = 0x0010;
inline constexpr unsigned kMouseMiddleDown = 0x0020;
inline constexpr unsigned kMouseMiddleUp = 0x0040;

// One line of a macro as the player acts on it.
struct MacroEvent {
    enum class Kind {
        Skip,        // no time: no wait, no event
        BadTime,     // a time that passes the digit test but is no integer: the playback ends here
        WaitOnly,    // waits, then does nothing
        Paste,       // INPUT: text through the clipboard
        KeyDown,     // virtualKey
        KeyUp,       // virtualKey
        Pointer,     // cursor to x, y, then the mouseFlag (0: the cursor only)
        Wheel,       // wheelDelta
        BadArgument, // waits, then ends the playback (a key code or coordinate that is no integer)
    };
    Kind kind = Kind::Skip;
    std::int32_t time = 0;
    std::string text;
    unsigned virtualKey = 0;
    int x = 0, y = 0;
    unsigned mouseFlag = 0;
    int wheelDelta = 0;

    bool operator==(const MacroEvent&) const = default;
};

// Parses one line: "t COMMAND args", fields split at single blanks, the command without regard to case.
MacroEvent ParseMacroLine(std::string_view line);

} // namespace orvanta::macros
