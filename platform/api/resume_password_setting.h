#pragma once

namespace orvanta::platform {

// The desktop's own choice of asking for the password when the computer resumes from sleep.
class ResumePasswordSetting {
  public:
    virtual ~ResumePasswordSetting() = default;

    // True when the desktop asks for the password on resume. A setting that cannot be had counts as not
    // requiring a password.
    virtual bool passwordRequired() const = 0;
};

} // namespace orvanta::platform
