#pragma once

#include "platform/api/global_hotkeys.h"
#include "platform/api/synthetic_input.h"

namespace orvanta::platform::linux_backend {

// Hotkeys where the desktop offers none to programs: every registration answers Unavailable, so the
// hotkey list says so instead of holding a grab that XWayland would honour only for its own windows.
class UnavailableGlobalHotkeys : public GlobalHotkeys {
  public:
    void setOnPressed(PressedCallback) override {}
    HotkeyRegistration registerHotkey(unsigned, unsigned, int) override {
        return HotkeyRegistration::Unavailable;
    }
    void unregisterHotkey(int) override {}
};

// Input where the desktop lets no program type for the others: nothing is sent and no position is known.
// The macro starter refuses before a playback would reach this.
class UnavailableSyntheticInput : public SyntheticInput {
  public:
    void keyDown(unsigned) override {}
    void keyUp(unsigned) override {}
    void mouseMoveBy(int, int) override {}
    void buttonDown(MouseButton) override {}
    void buttonUp(MouseButton) override {}
    void wheel(int) override {}
    void setCursorPos(int, int) override {}
    std::optional<CursorPoint> cursorPos() override { return std::nullopt; }
};

} // namespace orvanta::platform::linux_backend
