#pragma once

#include "platform/api/power_status.h"

namespace orvanta::platform::windows_backend {

// GetSystemPowerStatus and the power capabilities.
class WindowsPowerStatus : public PowerStatus {
  public:
    AcLineStatus acLineStatus() const override;
    WakeAbility wakeFromSleep() const override;
};

} // namespace orvanta::platform::windows_backend
