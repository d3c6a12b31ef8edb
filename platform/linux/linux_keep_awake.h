#pragma once

#include "platform/api/keep_awake.h"
#include "platform/linux/desktop_session.h"
#include "platform/linux/unique_fd.h"

#include <chrono>
#include <mutex>

namespace orvanta::platform::linux_backend {

// Holding the system awake is a logind inhibitor lock ("sleep:idle", mode "block") whose descriptor we
// keep open; closing it releases the lock. logind ignores our own lock when this user asks to suspend, so
// a scheduled stand-by still works while it is held.
class LinuxKeepAwake : public KeepAwake {
  public:
    explicit LinuxKeepAwake(DisplayWaker& display,
                            std::chrono::milliseconds callTimeout = std::chrono::milliseconds(3000))
        : display_(display), callTimeout_(callTimeout) {}

    bool wakeDisplay() override { return display_.wakeDisplay(); }
    bool holdSystemAwake() override;
    void release() override;
    bool holdingSystemAwake() const override;

  private:
    DisplayWaker& display_;
    const std::chrono::milliseconds callTimeout_;
    mutable std::mutex mutex_;
    UniqueFd inhibitor_;
};

} // namespace orvanta::platform::linux_backend
