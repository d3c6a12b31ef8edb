#pragma once

#include "platform/api/resume_password_setting.h"

#include <atomic>

namespace orvanta::platform::fake {

// The setting the test chooses; counts how often it was read.
class FakeResumePasswordSetting : public ResumePasswordSetting {
  public:
    bool passwordRequired() const override {
        ++reads_;
        return required_.load();
    }

    void setPasswordRequired(bool required) { required_.store(required); }
    int reads() const { return reads_.load(); }

  private:
    std::atomic<bool> required_{true};
    mutable std::atomic<int> reads_{0};
};

} // namespace orvanta::platform::fake
