#pragma once

#include <atomic>
#include <optional>
#include <string>

namespace orvanta::platform {

enum class MouseButton { Left, Right, Middle };

struct CursorPoint {
    int x = 0;
    int y = 0;
    bool operator==(const CursorPoint&) const = default;
};

// Keyboard and mouse input synthesised as if the user made it; it goes to whatever has the focus.
// Calls may come from any one thread at a time (a macro player's); a backend without a display does
// nothing and answers no position.
class SyntheticInput {
  public:
    virtual ~SyntheticInput() = default;

    // Keys by Windows virtual-key code; a code the backend cannot map is ignored.
    virtual void keyDown(unsigned virtualKey) = 0;
    virtual void keyUp(unsigned virtualKey) = 0;

    // A relative pointer movement.
    virtual void mouseMoveBy(int dx, int dy) = 0;
    virtual void buttonDown(MouseButton button) = 0;
    virtual void buttonUp(MouseButton button) = 0;
    // Wheel movement in the units of the hotkey platform: 120 per notch, positive away from the user.
    virtual void wheel(int delta) = 0;

    virtual void setCursorPos(int x, int y) = 0;
    virtual std::optional<CursorPoint> cursorPos() = 0;

    // True while some key of the keyboard is held down, by the user or synthesised; a backend that
    // cannot tell answers false.
    virtual bool anyKeyHeld() { return false; }

    // Readies the input for one playback, on the playback's thread, before its first event. A desktop
    // that grants input per session may ask the user first, so this can take as long as they do; a set
    // stop gives up the wait. Empty when the playback may go on, else why the desktop lets it send
    // nothing. Each begin that answered empty is followed by one endPlayback, after the playback let go
    // of what it held; playbacks may overlap.
    virtual std::string beginPlayback(const std::atomic<bool>& stop) {
        (void)stop;
        return {};
    }
    virtual void endPlayback() {}
    // Whether beginPlayback may wait for the user's answer to a question of the desktop, so that a
    // caller should learn its outcome before it goes on.
    virtual bool asksBeforePlayback() const { return false; }
};

} // namespace orvanta::platform
