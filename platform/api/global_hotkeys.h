#pragma once

#include <functional>

namespace orvanta::platform {

// Modifier bits of a global combination; the values are those the hotkey message carries, so the core can
// compare a press with what it registered.
inline constexpr unsigned kHotkeyAlt = 1;
inline constexpr unsigned kHotkeyControl = 2;
inline constexpr unsigned kHotkeyShift = 4;
inline constexpr unsigned kHotkeyWin = 8;

enum class HotkeyRegistration {
    Registered,
    Refused,     // another client (or this one) holds the combination
    Unavailable, // no keyboard to grab from at all (no display, unknown key)
};

// System-wide key combinations, identified by the caller's id.
//
// The pressed callback runs on a thread the backend owns; it must hand the press over (the UI posts it to
// its own thread) and return quickly. It receives the id and the combination as registered.
class GlobalHotkeys {
  public:
    using PressedCallback = std::function<void(int id, unsigned modifiers, unsigned virtualKey)>;

    virtual ~GlobalHotkeys() = default;

    // Set once, before the first registration.
    virtual void setOnPressed(PressedCallback onPressed) = 0;

    // Takes the combination of the modifier bits and a Windows virtual-key code under the given id. A
    // combination already held, by another client or by this one under any id, is refused.
    virtual HotkeyRegistration registerHotkey(unsigned modifiers, unsigned virtualKey, int id) = 0;

    // Releases the combination of the id; an unknown id is ignored.
    virtual void unregisterHotkey(int id) = 0;
};

} // namespace orvanta::platform
