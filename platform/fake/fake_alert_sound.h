#pragma once

#include "platform/api/alert_sound.h"

#include <atomic>

namespace orvanta::platform::fake {

// Counts the beeps.
class FakeAlertSound : public AlertSound {
  public:
    bool beep() override {
        ++beeps_;
        return true;
    }
    int beeps() const { return beeps_; }

  private:
    std::atomic<int> beeps_{0};
};

} // namespace orvanta::platform::fake
