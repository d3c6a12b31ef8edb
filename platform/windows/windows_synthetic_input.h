#pragma once

#include "platform/api/synthetic_input.h"

namespace orvanta::platform::windows_backend {

// keybd_event, mouse_event, SetCursorPos and GetCursorPos.
class WindowsSyntheticInput : public SyntheticInput {
  public:
    void keyDown(unsigned virtualKey) override;
    void keyUp(unsigned virtualKey) override;
    void mouseMoveBy(int dx, int dy) override;
    void buttonDown(MouseButton button) override;
    void buttonUp(MouseButton button) override;
    void wheel(int delta) override;
    void setCursorPos(int x, int y) override;
    std::optional<CursorPoint> cursorPos() override;
    // Any key but the mouse buttons down, as GetAsyncKeyState tells it.
    bool anyKeyHeld() override;
};

} // namespace orvanta::platform::windows_backend
