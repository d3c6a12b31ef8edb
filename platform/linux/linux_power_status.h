#pragma once

#include "platform/api/power_status.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace orvanta::platform::linux_backend {

// Where the power facts are read from; tests point the folders at a tree of their own.
struct PowerStatusSources {
    std::string powerSupplyRoot = "/sys/class/power_supply";
    std::string rtcRoot = "/sys/class/rtc";
    // Whether the alarm clocks may be used; empty means: ask the kernel.
    std::function<bool()> alarmClockUsable;
    // logind's answer to a Manager question such as "CanSuspend"; nullopt when it gave none. Empty means:
    // ask logind on the system bus.
    std::function<std::optional<std::string>(const char* question)> askLogind;
};

// The wakealarm attributes of every RTC under the folder, in name order: any clock may be the one that
// wakes the computer, not only rtc0.
std::vector<std::string> FindRtcWakeAlarms(const std::string& rtcRoot);

// Whether a logind Can... answer lets this user go ahead: "yes", or "challenge" (polkit asks first).
bool LogindAllows(const std::optional<std::string>& answer);

// Line power from the kernel's power-supply class:
// - any line supply (Mains, or a USB charger port) that is online: Online; line supplies all offline:
// Offline;
// - no line supply, only system batteries: their charging state tells (discharging: Offline; charging, full
//   or held below a charge limit: Online);
// - nothing that tells: Unknown.
// Batteries of devices (a wireless mouse, scope "Device") say nothing about this computer and are ignored.
//
// Waking from sleep needs both the alarm clocks (the privilege to create one) and an RTC with a wake
// alarm. The sleep states are the ones logind allows.
class LinuxPowerStatus : public PowerStatus {
  public:
    explicit LinuxPowerStatus(PowerStatusSources sources = {});

    AcLineStatus acLineStatus() const override;
    WakeAbility wakeFromSleep() const override;
    SleepStates allowedSleepStates() const override;
    // The real-time clock's alarm wakes the computer from hibernation where it wakes it from sleep; a
    // computer without a system battery has nothing that sleep would run down.
    bool prefersHibernateToSleep() const override;

  private:
    PowerStatusSources sources_;
};

} // namespace orvanta::platform::linux_backend
