#pragma once

#include <functional>
#include <string>
#include <vector>

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

// A registration that answered Registered inside a batch and was not kept once the batch was bound.
struct HotkeyRefusal {
    enum class Why {
        NotBound,      // the desktop left it out
        AssignedOther, // the desktop bound it to another trigger (detail), which is not the task's
        DesktopRefused // the desktop refused the whole set (detail: its answer)
    };
    int id = 0;
    Why why = Why::NotBound;
    std::string detail;
    bool operator==(const HotkeyRefusal&) const = default;
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

    // The registrations and releases between these two belong together. A backend that binds the set as a
    // whole (a desktop portal binds once per session) answers Registered for what it will ask for and
    // binds at endBatch, which returns those that were not kept. Others take each call as it comes.
    virtual void beginBatch() {}
    virtual std::vector<HotkeyRefusal> endBatch() { return {}; }

    // The outcome of a bind that ended after the call that asked for it: those not kept, empty when all
    // were. A desktop may ask the user before it binds, which takes as long as the user does, so a backend
    // whose binds wait for such an answer binds on its own thread: its registrations and endBatch answer at
    // once, and this tells what the desktop then refused. It runs on the backend's thread, as presses do,
    // and is told only of the newest set. Backends that answer every call in full never call it.
    using BoundCallback = std::function<void(std::vector<HotkeyRefusal> refused)>;
    virtual void setOnBound(BoundCallback) {}

    // Runs when registrations this backend answered Unavailable could be taken now (the desktop's portal
    // is back after it went away): the caller registers its set again. On the backend's thread, as
    // presses; backends whose answers never change never call it.
    using AvailableAgainCallback = std::function<void()>;
    virtual void setOnAvailableAgain(AvailableAgainCallback) {}
};

} // namespace orvanta::platform
