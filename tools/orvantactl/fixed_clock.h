#pragma once

#include "platform/api/clock.h"

namespace orvanta::ctl {

// A clock that always reads the same moment, so that one command can be run as if at another time.
class FixedClock : public platform::Clock {
  public:
    explicit FixedClock(const platform::LocalDateTime& moment) : moment_(moment) {}
    platform::LocalDateTime now() const override { return moment_; }

  private:
    platform::LocalDateTime moment_;
};

} // namespace orvanta::ctl
