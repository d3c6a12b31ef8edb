#include "platform/fake/fake_clock.h"

namespace orvanta::platform::fake {

LocalDateTime FakeClock::now() const {
    std::lock_guard lock(mutex_);
    return now_;
}

void FakeClock::set(const LocalDateTime& t) {
    std::lock_guard lock(mutex_);
    now_ = t;
}

} // namespace orvanta::platform::fake
