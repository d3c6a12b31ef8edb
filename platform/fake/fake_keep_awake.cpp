#include "platform/fake/fake_keep_awake.h"

namespace orvanta::platform::fake {

bool FakeKeepAwake::wakeDisplay() {
    std::lock_guard lock(mutex_);
    calls_.push_back("wakeDisplay");
    return displayAvailable_;
}

bool FakeKeepAwake::holdSystemAwake() {
    std::lock_guard lock(mutex_);
    calls_.push_back("holdSystemAwake");
    if (serviceAvailable_) holding_ = true;
    return holding_;
}

void FakeKeepAwake::release() {
    std::lock_guard lock(mutex_);
    calls_.push_back("release");
    holding_ = false;
}

bool FakeKeepAwake::holdingSystemAwake() const {
    std::lock_guard lock(mutex_);
    return holding_;
}

std::vector<std::string> FakeKeepAwake::calls() const {
    std::lock_guard lock(mutex_);
    return calls_;
}

void FakeKeepAwake::setDisplayAvailable(bool available) {
    std::lock_guard lock(mutex_);
    displayAvailable_ = available;
}

void FakeKeepAwake::setServiceAvailable(bool available) {
    std::lock_guard lock(mutex_);
    serviceAvailable_ = available;
}

} // namespace orvanta::platform::fake
