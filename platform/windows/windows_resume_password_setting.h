#pragma once

#include "platform/api/resume_password_setting.h"
#include "platform/windows/power_library.h"

namespace orvanta::platform::windows_backend {

// The active power scheme's password-on-wake value on line power, read afresh at every call so a change
// made in the power options shows at once. The power library stays loaded while this object lives.
class WindowsResumePasswordSetting : public ResumePasswordSetting {
  public:
    bool passwordRequired() const override { return power_.consoleLockRequired(); }

  private:
    PowerLibrary power_;
};

} // namespace orvanta::platform::windows_backend
