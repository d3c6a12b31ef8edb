#include "hotkeys/hotkey_registrar.h"

namespace orvanta::hotkeys {

bool HotkeyRegistrar::RegisterTaskHotkey(const std::string& name, unsigned modifiers, unsigned virtualKey) {
    const std::lock_guard lock(mutex_);
    auto [it, added] = atoms_.try_emplace(name);
    if (added) it->second.id = nextAtom_++;
    ++it->second.uses;
    return hotkeys_.registerHotkey(modifiers, virtualKey, it->second.id) ==
           platform::HotkeyRegistration::Registered;
}

void HotkeyRegistrar::UnregisterTaskHotkey(const std::string& name) {
    const std::lock_guard lock(mutex_);
    const auto it = atoms_.find(name);
    if (it == atoms_.end()) return;
    hotkeys_.unregisterHotkey(it->second.id);
    if (--it->second.uses <= 0) atoms_.erase(it);
}

bool HotkeyRegistrar::HeldByAnotherProgram(unsigned modifiers, unsigned virtualKey) {
    const std::lock_guard lock(mutex_);
    const auto answer = hotkeys_.registerHotkey(modifiers, virtualKey, kProbeId);
    if (answer == platform::HotkeyRegistration::Registered) hotkeys_.unregisterHotkey(kProbeId);
    return answer == platform::HotkeyRegistration::Refused;
}

int HotkeyRegistrar::atomOf(const std::string& name) const {
    const std::lock_guard lock(mutex_);
    const auto it = atoms_.find(name);
    return it == atoms_.end() ? 0 : it->second.id;
}

} // namespace orvanta::hotkeys
