#pragma once

#include "platform/api/session_power.h"

#include <optional>
#include <vector>

struct sd_bus;
struct sd_bus_message;

namespace orvanta::platform::linux_backend {

// A desktop session manager's method on the session bus: log off, shut down or restart.
struct SessionManagerLogout {
    const char* service;
    const char* path;
    const char* interface;
    const char* method;
    int (*appendArguments)(sd_bus_message* call);
};

// In the order they are tried: GNOME Logout(1) (no confirmation dialog, programs may still object), KDE
// logout(0, 0, 0) (no confirmation, log off, now), Xfce Logout(false, true) (no dialog, allow saving).
const std::vector<SessionManagerLogout>& SessionManagerLogouts();

// Shut down and restart, without a dialog, letting programs save or object: GNOME RequestShutdown and
// RequestReboot, KDE logout(0, 2 or 1, 0), Xfce Shutdown(true) and Restart(true).
const std::vector<SessionManagerLogout>& SessionManagerShutdowns();
const std::vector<SessionManagerLogout>& SessionManagerReboots();

// Asks the first session manager present on the session bus to log off. nullopt when none is present;
// otherwise how that one answered. A refusal is not passed on to another manager: the one running the
// desktop has spoken, and forcing the session down behind its back would not be a polite log off.
std::optional<RequestResult> AskSessionManagerToLogOff(sd_bus* sessionBus);

// The same for any of the lists above.
std::optional<RequestResult> AskSessionManager(sd_bus* sessionBus,
                                               const std::vector<SessionManagerLogout>& calls);

} // namespace orvanta::platform::linux_backend
