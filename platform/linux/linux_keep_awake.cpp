#include "platform/linux/linux_keep_awake.h"

#include "platform/linux/system_bus.h"

namespace orvanta::platform::linux_backend {

bool LinuxKeepAwake::holdSystemAwake() {
    std::lock_guard lock(mutex_);
    if (inhibitor_) return true;
    // A connection per request: the lock lives in the descriptor, not in the connection, and a fresh
    // connection survives a restart of the bus between requests.
    SystemBus bus = OpenSystemBus(callTimeout_);
    inhibitor_ =
        Inhibit(bus.get(), {"sleep:idle", "Orvanta", "Finishing a scheduled task after a wake-up", "block"});
    return inhibitor_.valid();
}

void LinuxKeepAwake::release() {
    std::lock_guard lock(mutex_);
    inhibitor_.reset();
}

bool LinuxKeepAwake::holdingSystemAwake() const {
    std::lock_guard lock(mutex_);
    return inhibitor_.valid();
}

} // namespace orvanta::platform::linux_backend
