#pragma once

#include "platform/api/power_status.h"

#include <atomic>

namespace orvanta::platform::fake {

// Power facts the test sets; on mains, able to wake and allowed both sleep states at first.
class FakePowerStatus : public PowerStatus {
  public:
    AcLineStatus acLineStatus() const override { return acLine_.load(); }
    WakeAbility wakeFromSleep() const override { return wake_.load(); }
    SleepStates allowedSleepStates() const override { return sleep_.load(); }
    bool prefersHibernateToSleep() const override { return prefersHibernate_.load(); }

    void setAcLineStatus(AcLineStatus status) { acLine_.store(status); }
    // false: the clock cannot wake the computer, the privilege is there.
    void setCanWakeFromSleep(bool canWake) { wake_.store({true, canWake}); }
    void setWakeFromSleep(WakeAbility ability) { wake_.store(ability); }
    void setAllowedSleepStates(SleepStates states) { sleep_.store(states); }
    void setPrefersHibernateToSleep(bool prefers) { prefersHibernate_.store(prefers); }

  private:
    std::atomic<AcLineStatus> acLine_{AcLineStatus::Online};
    std::atomic<WakeAbility> wake_{WakeAbility{true, true}};
    std::atomic<SleepStates> sleep_{SleepStates{true, true}};
    std::atomic<bool> prefersHibernate_{false};
};

} // namespace orvanta::platform::fake
