#pragma once

#include "platform/api/clock.h"

#include <mutex>

namespace orvanta::platform::fake {

// A clock that stands still until the test moves it.
class FakeClock : public Clock {
  public:
    explicit FakeClock(LocalDateTime start = {2025, 3, 7, 9, 5, 0, 0}) : now_(start) {}
    LocalDateTime now() const override;
    void set(const LocalDateTime& t);

  private:
    mutable std::mutex mutex_;
    LocalDateTime now_;
};

} // namespace orvanta::platform::fake
