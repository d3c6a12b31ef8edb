#pragma once

#include <atomic>
#include <chrono>
#include <optional>

namespace orvanta::platform::linux_backend {

// When one of our computer-waking timers last fired, on the boot clock. The timers write it from their
// waiter threads; the resume monitor reads it to tell a wake-up by our timer from one by the user.
class WakeFireRecord {
  public:
    void noteFired(std::chrono::milliseconds bootTime) { lastFired_.store(bootTime.count()); }

    std::optional<std::chrono::milliseconds> lastFired() const {
        const auto value = lastFired_.load();
        if (value == kNever) return std::nullopt;
        return std::chrono::milliseconds(value);
    }

  private:
    static constexpr long long kNever = -1;
    std::atomic<long long> lastFired_{kNever};
};

} // namespace orvanta::platform::linux_backend
