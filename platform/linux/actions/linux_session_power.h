#pragma once

#include "platform/api/log.h"
#include "platform/api/session_power.h"
#include "platform/linux/actions/bus_requests.h"
#include "platform/linux/actions/desktop_logout.h"

#include <chrono>
#include <mutex>
#include <string>

namespace orvanta::platform::linux_backend {

// Power and session requests through logind on the system bus, the desktop's session manager on the
// session bus, and DPMS on the X display. Each request opens its own connections, so any thread may
// call; every bus call gives up after the time-out, so nothing hangs on a stuck service.
class LinuxSessionPower : public SessionPower {
  public:
    struct Options {
        std::chrono::milliseconds callTimeout = std::chrono::seconds(5);
        std::string displayName; // empty: $DISPLAY
    };

    // Every logind request that does not go through leaves a line in the log, with logind's words.
    explicit LinuxSessionPower(Log& log) : LinuxSessionPower(log, Options{}) {}
    LinuxSessionPower(Log& log, Options options) : log_(log), options_(std::move(options)) {}

    // polkit decides per request; there is nothing to take beforehand.
    PrivilegeResult enableShutdownPrivilege() override { return {}; }

    // Forced: logind at once, without asking. Not forced: the desktop's session manager where one owns
    // its name on the session bus (programs may save or object), else logind with polkit allowed to ask.
    RequestResult powerOff(bool force) override;
    RequestResult reboot(bool force) override;
    // The desktop's session manager where one answers on the session bus, else logind ends the session.
    RequestResult logOffPolitely() override;
    RequestResult terminateSession() override;
    RequestResult suspend() override;
    RequestResult hibernate() override;
    RequestResult lockSession() override;
    RequestResult turnMonitorOff() override;
    std::string lastRefusal() const override;

  private:
    RequestResult managerRequest(const char* method, bool interactive = false) const;
    RequestResult politeRequest(const std::vector<SessionManagerLogout>& calls, const char* method) const;
    RequestResult told(const char* what, const BusReply& reply) const;

    Log& log_;
    Options options_;
    mutable std::mutex refusalLock_;
    mutable std::string lastRefusal_;
};

} // namespace orvanta::platform::linux_backend
