#pragma once

#include "platform/api/global_hotkeys.h"
#include "platform/windows/message_thread.h"

#include <map>
#include <memory>
#include <mutex>
#include <utility>

namespace orvanta::platform::windows_backend {

// RegisterHotKey on a thread of its own; WM_HOTKEY reaches the callback from there.
class WindowsGlobalHotkeys : public GlobalHotkeys {
  public:
    WindowsGlobalHotkeys();
    ~WindowsGlobalHotkeys() override;

    void setOnPressed(PressedCallback onPressed) override;
    HotkeyRegistration registerHotkey(unsigned modifiers, unsigned virtualKey, int id) override;
    void unregisterHotkey(int id) override;

  private:
    void onMessage(unsigned message, std::uintptr_t wParam, std::intptr_t lParam);

    std::mutex mutex_;
    PressedCallback onPressed_;
    std::map<int, std::pair<unsigned, unsigned>> registered_; // id -> modifiers, key
    std::unique_ptr<MessageThread> thread_;
};

} // namespace orvanta::platform::windows_backend
