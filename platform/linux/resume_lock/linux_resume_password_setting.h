#pragma once

#include "platform/api/resume_password_setting.h"
#include "platform/linux/resume_lock/resume_lock_control.h"

#include <functional>

namespace orvanta::platform::linux_backend {

// Reads the running desktop's lock-on-resume switch afresh at every call, so a change made elsewhere
// shows at once.
class LinuxResumePasswordSetting : public ResumePasswordSetting {
  public:
    // By default the environment of this process.
    explicit LinuxResumePasswordSetting(
        std::function<LockEnvironment()> environment = ProcessLockEnvironment);

    bool passwordRequired() const override;

  private:
    std::function<LockEnvironment()> environment_;
};

} // namespace orvanta::platform::linux_backend
