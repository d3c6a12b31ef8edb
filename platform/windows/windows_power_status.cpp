#include "platform/windows/windows_power_status.h"

// These Windows headers need <windows.h> before them.
// clang-format off
#include <windows.h>
#include <shellapi.h>
#include <tlhelp32.h>
// clang-format on

#include "platform/windows/power_library.h"
#include "platform/windows/windows_wake_timer.h"

#include <string>

namespace orvanta::platform::windows_backend {

AcLineStatus WindowsPowerStatus::acLineStatus() const {
    SYSTEM_POWER_STATUS status{};
    if (!GetSystemPowerStatus(&status)) return AcLineStatus::Unknown;
    switch (status.ACLineStatus) {
    case 0:
        return AcLineStatus::Offline;
    case 1:
        return AcLineStatus::Online;
    default:
        return AcLineStatus::Unknown;
    }
}

WakeAbility WindowsPowerStatus::wakeFromSleep() const {
    // Any user may set a waking timer here; only the hardware decides.
    return {true, RtcWakeSupported()};
}

} // namespace orvanta::platform::windows_backend
