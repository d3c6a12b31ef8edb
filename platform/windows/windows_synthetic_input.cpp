#include "platform/windows/windows_synthetic_input.h"

#include <future>
#include <windows.h>

namespace orvanta::platform::windows_backend {
namespace {

bool IsExtendedKey(unsigned vk) {
    switch (vk) {
    case VK_INSERT:
    case VK_DELETE:
    case VK_HOME:
    case VK_END:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
    case VK_RCONTROL:
    case VK_RMENU:
    case VK_LWIN:
    case VK_RWIN:
    case VK_APPS:
    case VK_DIVIDE:
    case VK_NUMLOCK:
    case VK_SNAPSHOT:
        return true;
    default:
        return false;
    }
}

void SendKey(unsigned vk, bool up) {
    if (vk == 0 || vk > 0xFE) return;
    DWORD flags = (up ? KEYEVENTF_KEYUP : 0) | (IsExtendedKey(vk) ? KEYEVENTF_EXTENDEDKEY : 0);
    keybd_event(static_cast<BYTE>(vk), static_cast<BYTE>(MapVirtualKeyA(vk, 0)), flags, 0);
}

DWORD ButtonFlag(MouseButton button, bool up) {
    switch (button) {
    case MouseButton::Left:
        return up ? MOUSEEVENTF_LEFTUP : MOUSEEVENTF_LEFTDOWN;
    case MouseButton::Right:
        return up ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_RIGHTDOWN;
    case MouseButton::Middle:
        return up ? MOUSEEVENTF_MIDDLEUP : MOUSEEVENTF_MIDDLEDOWN;
    }
    return 0;
}

} // namespace

void WindowsSyntheticInput::keyDown(unsigned virtualKey) {
    SendKey(virtualKey, false);
}
void WindowsSyntheticInput::keyUp(unsigned virtualKey) {
    SendKey(virtualKey, true);
}

void WindowsSyntheticInput::mouseMoveBy(int dx, int dy) {
    mouse_event(MOUSEEVENTF_MOVE, static_cast<DWORD>(dx), static_cast<DWORD>(dy), 0, 0);
}

void WindowsSyntheticInput::buttonDown(MouseButton button) {
    mouse_event(ButtonFlag(button, false), 0, 0, 0, 0);
}
void WindowsSyntheticInput::buttonUp(MouseButton button) {
    mouse_event(ButtonFlag(button, true), 0, 0, 0, 0);
}

void WindowsSyntheticInput::wheel(int delta) {
    mouse_event(MOUSEEVENTF_WHEEL, 0, 0, static_cast<DWORD>(delta), 0);
}

void WindowsSyntheticInput::setCursorPos(int x, int y) {
    SetCursorPos(x, y);
}

bool WindowsSyntheticInput::anyKeyHeld() {
    for (int vk = 0x08; vk < 0xFF; ++vk) {
        // The generic modifier codes repeat the side-specific ones.
        if (vk == VK_SHIFT || vk == VK_CONTROL || vk == VK_MENU) continue;
        if (GetAsyncKeyState(vk) & 0x8000) return true;
    }
    return false;
}

std::optional<CursorPoint> WindowsSyntheticInput::cursorPos() {
    POINT point{};
    if (!GetCursorPos(&point)) return std::nullopt;
    return CursorPoint{point.x, point.y};
}

} // namespace orvanta::platform::windows_backend
