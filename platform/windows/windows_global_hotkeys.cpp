#include "platform/windows/windows_global_hotkeys.h"

#include <future>
#include <windows.h>

namespace orvanta::platform::windows_backend {

WindowsGlobalHotkeys::WindowsGlobalHotkeys()
    : thread_(std::make_unique<MessageThread>(
          [this](unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
              onMessage(message, wParam, lParam);
          })) {}

WindowsGlobalHotkeys::~WindowsGlobalHotkeys() {
    std::map<int, std::pair<unsigned, unsigned>> held;
    {
        std::lock_guard lock(mutex_);
        held = registered_;
    }
    for (const auto& [id, combination] : held)
        unregisterHotkey(id);
    thread_.reset();
}

void WindowsGlobalHotkeys::setOnPressed(PressedCallback onPressed) {
    std::lock_guard lock(mutex_);
    onPressed_ = std::move(onPressed);
}

HotkeyRegistration WindowsGlobalHotkeys::registerHotkey(unsigned modifiers, unsigned virtualKey, int id) {
    {
        std::lock_guard lock(mutex_);
        for (const auto& [heldId, combination] : registered_)
            if (combination == std::make_pair(modifiers, virtualKey)) return HotkeyRegistration::Refused;
    }
    unregisterHotkey(id);
    bool accepted = false;
    const bool ran =
        thread_->invoke([&] { accepted = RegisterHotKey(nullptr, id, modifiers, virtualKey) != FALSE; });
    if (!ran) return HotkeyRegistration::Unavailable;
    if (!accepted) return HotkeyRegistration::Refused;
    std::lock_guard lock(mutex_);
    registered_[id] = {modifiers, virtualKey};
    return HotkeyRegistration::Registered;
}

void WindowsGlobalHotkeys::unregisterHotkey(int id) {
    {
        std::lock_guard lock(mutex_);
        if (registered_.erase(id) == 0) return;
    }
    thread_->invoke([id] { UnregisterHotKey(nullptr, id); });
}

void WindowsGlobalHotkeys::onMessage(unsigned message, std::uintptr_t wParam, std::intptr_t /*lParam*/) {
    if (message != WM_HOTKEY) return;
    const int id = static_cast<int>(wParam);
    PressedCallback callback;
    std::pair<unsigned, unsigned> combination;
    {
        std::lock_guard lock(mutex_);
        auto it = registered_.find(id);
        if (it == registered_.end()) return;
        combination = it->second;
        callback = onPressed_;
    }
    if (callback) callback(id, combination.first, combination.second);
}

} // namespace orvanta::platform::windows_backend
