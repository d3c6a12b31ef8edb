#pragma once

#include <cstdint>
#include <optional>

namespace orvanta::hook {

// An X device event as the RECORD extension reports it, reduced to what the recorder needs.
struct DeviceEvent {
    enum class Type { KeyDown, KeyUp, ButtonDown, ButtonUp, Motion };
    Type type = Type::Motion;
    unsigned detail = 0; // the key's virtual-key code (already mapped), or the button number
    int rootX = 0, rootY = 0;
};

// The hook message for one device event: the event code, the second parameter and what goes into the
// shared block's x and y fields first (mouse events only).
struct HookEvent {
    unsigned code = 0;
    std::uint32_t param = 0;
    bool isMouse = false;
    std::int32_t blockX = 0, blockY = 0;
};

// Keys carry their virtual-key code with the release bit 31 in the parameter; buttons 1 to 3 are the
// left, middle and right button; buttons 4 and 5 are one wheel notch away from and toward the user, their
// delta in the low 16 bits of the x field; releases of wheel buttons, other buttons and keys without a
// code give nothing.
std::optional<HookEvent> HookEventOf(const DeviceEvent& event);

} // namespace orvanta::hook
