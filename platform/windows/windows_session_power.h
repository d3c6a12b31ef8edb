#pragma once

#include "platform/api/session_power.h"

namespace orvanta::platform::windows_backend {

// ExitWindowsEx after the shutdown privilege, SetSuspendState, LockWorkStation and the monitor-power
// system command.
class WindowsSessionPower : public SessionPower {
  public:
    PrivilegeResult enableShutdownPrivilege() override;
    RequestResult powerOff(bool force) override;
    RequestResult reboot(bool force) override;
    RequestResult logOffPolitely() override;
    RequestResult terminateSession() override;
    RequestResult suspend() override;
    RequestResult hibernate() override;
    RequestResult lockSession() override;
    RequestResult turnMonitorOff() override;
};

} // namespace orvanta::platform::windows_backend
