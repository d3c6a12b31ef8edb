#pragma once

#include "platform/api/power_status.h"

#include <functional>
#include <string>

namespace orvanta::platform::linux_backend {

// Where the power facts are read from; tests point the folders at a tree of their own.
struct PowerStatusSources {
    std::string powerSupplyRoot = "/sys/class/power_supply";
    std::string rtcRoot = "/sys/class/rtc";
    // Whether the alarm clocks may be used; empty means: ask the kernel.
    std::function<bool()> alarmClockUsable;
};

// Line power from the kernel's power-supply class:
// - any line supply (Mains, or a USB charger port) that is online: Online; line supplies all offline:
// Offline;
// - no line supply, only system batteries: their charging state tells (discharging: Offline; charging, full
//   or held below a charge limit: Online);
// - nothing that tells: Unknown.
// Batteries of devices (a wireless mouse, scope "Device") say nothing about this computer and are ignored.
//
// Waking from sleep needs both the alarm clocks and a real-time clock to program.
class LinuxPowerStatus : public PowerStatus {
  public:
    explicit LinuxPowerStatus(PowerStatusSources sources = {});

    AcLineStatus acLineStatus() const override;
    bool canWakeFromSleep() const override;
    // The real-time clock's alarm wakes the computer from hibernation where it wakes it from sleep; a
    // computer without a system battery has nothing that sleep would run down.
    bool prefersHibernateToSleep() const override;

  private:
    PowerStatusSources sources_;
};

} // namespace orvanta::platform::linux_backend
