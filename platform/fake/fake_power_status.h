#pragma once

#include "platform/api/power_status.h"

#include <atomic>

namespace orvanta::platform::fake {

// Power facts the test sets; on mains and able to wake at first.
class FakePowerStatus : public PowerStatus {
  public:
    AcLineStatus acLineStatus() const override { return acLine_.load(); }
    bool canWakeFromSleep() const override { return canWake_.load(); }
    bool prefersHibernateToSleep() const override { return prefersHibernate_.load(); }

    void setAcLineStatus(AcLineStatus status) { acLine_.store(status); }
    void setCanWakeFromSleep(bool canWake) { canWake_.store(canWake); }
    void setPrefersHibernateToSleep(bool prefers) { prefersHibernate_.store(prefers); }

  private:
    std::atomic<AcLineStatus> acLine_{AcLineStatus::Online};
    std::atomic<bool> canWake_{true};
    std::atomic<bool> prefersHibernate_{false};
};

} // namespace orvanta::platform::fake
