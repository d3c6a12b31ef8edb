#pragma once

#include "platform/api/keep_awake.h"

#include <mutex>
#include <string>
#include <vector>

namespace orvanta::platform::fake {

// Records every request by name ("wakeDisplay", "holdSystemAwake", "release"), in order.
class FakeKeepAwake : public KeepAwake {
  public:
    bool wakeDisplay() override;
    bool holdSystemAwake() override;
    void release() override;
    bool holdingSystemAwake() const override;

    std::vector<std::string> calls() const;
    // Without a display, wakeDisplay answers false; without the service, holdSystemAwake holds nothing.
    void setDisplayAvailable(bool available);
    void setServiceAvailable(bool available);

  private:
    mutable std::mutex mutex_;
    std::vector<std::string> calls_;
    bool holding_ = false;
    bool displayAvailable_ = true;
    bool serviceAvailable_ = true;
};

} // namespace orvanta::platform::fake
