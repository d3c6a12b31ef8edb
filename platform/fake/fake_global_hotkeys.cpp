#include "platform/fake/fake_global_hotkeys.h"

namespace orvanta::platform::fake {

void FakeGlobalHotkeys::setOnPressed(PressedCallback onPressed) {
    const std::lock_guard lock(mutex_);
    onPressed_ = std::move(onPressed);
}

HotkeyRegistration FakeGlobalHotkeys::registerHotkey(unsigned modifiers, unsigned virtualKey, int id) {
    const std::lock_guard lock(mutex_);
    ++registerCalls_;
    if (unavailable_) return HotkeyRegistration::Unavailable;
    const Grab grab{modifiers, virtualKey};
    if (taken_.contains(grab)) return HotkeyRegistration::Refused;
    for (const auto& [otherId, other] : grabs_)
        if (other == grab) return HotkeyRegistration::Refused;
    grabs_[id] = grab;
    return HotkeyRegistration::Registered;
}

void FakeGlobalHotkeys::unregisterHotkey(int id) {
    const std::lock_guard lock(mutex_);
    grabs_.erase(id);
}

void FakeGlobalHotkeys::takeByOtherProgram(unsigned modifiers, unsigned virtualKey) {
    const std::lock_guard lock(mutex_);
    taken_.insert(Grab{modifiers, virtualKey});
}

void FakeGlobalHotkeys::setUnavailable(bool unavailable) {
    const std::lock_guard lock(mutex_);
    unavailable_ = unavailable;
}

void FakeGlobalHotkeys::refuseWhenBound(unsigned modifiers, unsigned virtualKey, HotkeyRefusal::Why why,
                                        std::string detail) {
    const std::lock_guard lock(mutex_);
    refuseWhenBound_[Grab{modifiers, virtualKey}] = {0, why, std::move(detail)};
}

void FakeGlobalHotkeys::beginBatch() {
    const std::lock_guard lock(mutex_);
    batching_ = true;
}

std::vector<HotkeyRefusal> FakeGlobalHotkeys::endBatch() {
    const std::lock_guard lock(mutex_);
    std::vector<HotkeyRefusal> refused;
    if (!batching_) return refused;
    batching_ = false;
    ++batchesEnded_;
    for (auto it = grabs_.begin(); it != grabs_.end();) {
        const auto rule = refuseWhenBound_.find(it->second);
        if (rule == refuseWhenBound_.end()) {
            ++it;
            continue;
        }
        HotkeyRefusal refusal = rule->second;
        refusal.id = it->first;
        refused.push_back(std::move(refusal));
        it = grabs_.erase(it);
    }
    return refused;
}

void FakeGlobalHotkeys::setOnBound(BoundCallback onBound) {
    const std::lock_guard lock(mutex_);
    onBound_ = std::move(onBound);
}

void FakeGlobalHotkeys::bindEndsLater(std::vector<HotkeyRefusal> refused) {
    BoundCallback callback;
    {
        const std::lock_guard lock(mutex_);
        for (const auto& refusal : refused)
            grabs_.erase(refusal.id);
        callback = onBound_;
    }
    if (callback) callback(std::move(refused));
}

int FakeGlobalHotkeys::batchesEnded() const {
    const std::lock_guard lock(mutex_);
    return batchesEnded_;
}

std::map<int, FakeGlobalHotkeys::Grab> FakeGlobalHotkeys::registered() const {
    const std::lock_guard lock(mutex_);
    return grabs_;
}

bool FakeGlobalHotkeys::isRegistered(unsigned modifiers, unsigned virtualKey) const {
    const std::lock_guard lock(mutex_);
    for (const auto& [id, grab] : grabs_)
        if (grab == Grab{modifiers, virtualKey}) return true;
    return false;
}

int FakeGlobalHotkeys::registerCalls() const {
    const std::lock_guard lock(mutex_);
    return registerCalls_;
}

bool FakeGlobalHotkeys::press(unsigned modifiers, unsigned virtualKey) {
    PressedCallback callback;
    int id = 0;
    {
        const std::lock_guard lock(mutex_);
        bool found = false;
        for (const auto& [gid, grab] : grabs_) {
            if (grab == Grab{modifiers, virtualKey}) {
                id = gid;
                found = true;
                break;
            }
        }
        if (!found) return false;
        callback = onPressed_;
    }
    if (callback) callback(id, modifiers, virtualKey);
    return true;
}

} // namespace orvanta::platform::fake
