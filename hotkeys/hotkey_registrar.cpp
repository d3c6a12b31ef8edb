#include "hotkeys/hotkey_registrar.h"

namespace orvanta::hotkeys {

bool HotkeyRegistrar::RegisterTaskHotkey(const std::string& name, unsigned modifiers, unsigned virtualKey) {
    return TakeTaskHotkey(name, modifiers, virtualKey) == platform::HotkeyRegistration::Registered;
}

platform::HotkeyRegistration HotkeyRegistrar::TakeTaskHotkey(const std::string& name, unsigned modifiers,
                                                             unsigned virtualKey) {
    const std::lock_guard lock(mutex_);
    auto [it, added] = atoms_.try_emplace(name);
    if (added) it->second.id = nextAtom_++;
    ++it->second.uses;
    return hotkeys_.registerHotkey(modifiers, virtualKey, it->second.id);
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
    // As one batch: a desktop that binds whole sets then sees no change at all.
    hotkeys_.beginBatch();
    const auto answer = hotkeys_.registerHotkey(modifiers, virtualKey, kProbeId);
    if (answer == platform::HotkeyRegistration::Registered) hotkeys_.unregisterHotkey(kProbeId);
    hotkeys_.endBatch();
    return answer == platform::HotkeyRegistration::Refused;
}

void HotkeyRegistrar::BeginBatch() {
    const std::lock_guard lock(mutex_);
    hotkeys_.beginBatch();
}

std::vector<HotkeyRegistrar::NamedRefusal> HotkeyRegistrar::EndBatch() {
    const std::lock_guard lock(mutex_);
    return Named(hotkeys_.endBatch());
}

std::vector<HotkeyRegistrar::NamedRefusal>
HotkeyRegistrar::NameRefusals(std::vector<platform::HotkeyRefusal> refused) const {
    const std::lock_guard lock(mutex_);
    return Named(std::move(refused));
}

std::vector<HotkeyRegistrar::NamedRefusal>
HotkeyRegistrar::Named(std::vector<platform::HotkeyRefusal> refused) const {
    std::vector<NamedRefusal> named;
    for (auto& refusal : refused)
        for (const auto& [name, atom] : atoms_)
            if (atom.id == refusal.id) named.push_back({name, std::move(refusal)});
    return named;
}

int HotkeyRegistrar::atomOf(const std::string& name) const {
    const std::lock_guard lock(mutex_);
    const auto it = atoms_.find(name);
    return it == atoms_.end() ? 0 : it->second.id;
}

} // namespace orvanta::hotkeys
