#pragma once

#include <chrono>
#include <optional>

namespace orvanta::platform::linux_backend {

// Switches the monitor on, as a key press would. False when there is no display this process can reach.
class DisplayWaker {
  public:
    virtual ~DisplayWaker() = default;
    virtual bool wakeDisplay() = 0;
};

// How long the user has not touched keyboard or mouse; nullopt when the desktop does not tell.
class UserIdleTime {
  public:
    virtual ~UserIdleTime() = default;
    virtual std::optional<std::chrono::milliseconds> userIdleTime() = 0;
};

} // namespace orvanta::platform::linux_backend
