#pragma once

#include "platform/api/power_status.h"

#include <atomic>

namespace orvanta::platform::fake {

// Power facts the test sets; on mains and able to wake at first.
class FakePowerStatus : public PowerStatus {
  public:
    AcLineStatus acLineStatus() const override { return acLine_.load(); }
    bool canWakeFromSleep() const override { return canWake_.load(); }

    void setAcLineStatus(AcLineStatus status) { acLine_.store(status); }
    void setCanWakeFromSleep(bool canWake) { canWake_.store(canWake); }

  private:
    std::atomic<AcLineStatus> acLine_{AcLineStatus::Online};
    std::atomic<bool> canWake_{true};
};

} // namespace orvanta::platform::fake
