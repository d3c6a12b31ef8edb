#include "platform/fake/fake_single_instance.h"

#include <thread>

namespace orvanta::platform::fake {

bool FakeSingleInstance::claim() {
    ++claims_;
    return !anotherCopyRuns_ && failure_.empty();
}

std::shared_ptr<void> FakeSingleInstance::listenForHandOver(std::function<void(HandOverRequest)> heard) {
    auto listener = std::make_shared<std::function<void(HandOverRequest)>>(std::move(heard));
    heard_ = listener;
    // The handle owns the listener; once it goes, deliver() finds nothing.
    return listener;
}

bool FakeSingleInstance::handOver(HandOverRequest request, std::chrono::milliseconds) {
    handOvers_.push_back(request);
    return true;
}

bool FakeSingleInstance::deliver(HandOverRequest request) {
    const std::shared_ptr<std::function<void(HandOverRequest)>> listener = heard_.lock();
    if (!listener) return false;
    std::thread([&] { (*listener)(request); }).join();
    return true;
}

} // namespace orvanta::platform::fake
