#include "platform/linux/resume_lock/linux_resume_password_setting.h"

namespace orvanta::platform::linux_backend {

LinuxResumePasswordSetting::LinuxResumePasswordSetting(std::function<LockEnvironment()> environment)
    : environment_(std::move(environment)) {}

bool LinuxResumePasswordSetting::passwordRequired() const {
    const auto control = FindResumeLockControl(environment_());
    return control && control->locksOnResume().value_or(false);
}

} // namespace orvanta::platform::linux_backend
