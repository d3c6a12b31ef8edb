#pragma once

#include "platform/linux/system_bus.h"

#include <optional>
#include <string>
#include <vector>

namespace orvanta::test {

// Drives the dbusmock logind of the test environment through its own bus connection.
class MockLogind {
  public:
    struct Inhibitor {
        std::string what, who, why, mode;
    };

    MockLogind();

    // True when a system bus is reachable and something owns logind's name on it.
    bool present() const { return present_; }

    // Has the mock send Manager.PrepareForSleep(goingToSleep); true once it has been sent.
    bool emitPrepareForSleep(bool goingToSleep);

    // The locks the mock holds now; nullopt when the call failed.
    std::optional<std::vector<Inhibitor>> inhibitors();

  private:
    platform::linux_backend::SystemBus bus_;
    bool present_ = false;
};

} // namespace orvanta::test
