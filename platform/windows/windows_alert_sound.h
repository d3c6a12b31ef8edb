#pragma once

#include "platform/api/alert_sound.h"

namespace orvanta::platform::windows_backend {

class WindowsAlertSound : public AlertSound {
  public:
    bool beep() override;
};

} // namespace orvanta::platform::windows_backend
