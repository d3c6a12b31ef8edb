#pragma once

#include "data/settings/settings.h"
#include "platform/api/power_status.h"
#include "platform/api/wake_timer.h"
#include "scheduler/dispatch_ports.h"

#include <functional>
#include <memory>

namespace orvanta::scheduler {

// The one-time offer, at the first showing of the main window, to check that this computer really
// powers itself on: it goes to sleep and a timer brings it back three minutes later. Offered only where
// the system lets the user suspend or hibernate.
class PowerOnTest {
  public:
    struct Ports {
        data::Settings& settings;
        const platform::PowerStatus& power;
        platform::WakeTimerFactory& timers;
        MainTimers& mainTimers;
        std::function<void(bool hibernate)> suspend; // going to sleep for the test
    };

    explicit PowerOnTest(Ports ports);

    // Asks by the given question (true for OK); returns true when the test was started.
    bool Offer(const std::function<bool()>& askToRun);

    static constexpr std::chrono::seconds kWakeAfter{180};

  private:
    Ports ports_;
    std::unique_ptr<platform::WakeTimer> testTimer_;
};

} // namespace orvanta::scheduler
