#pragma once

#include "platform/api/session_power.h"

#include <optional>
#include <vector>

struct sd_bus;
struct sd_bus_message;

namespace orvanta::platform::linux_backend {

// A desktop session manager's log-off method on the session bus.
struct SessionManagerLogout {
    const char* service;
    const char* path;
    const char* interface;
    const char* method;
    int (*appendArguments)(sd_bus_message* call);
};

// In the order they are tried: GNOME Logout(1) (no confirmation dialog, programs may still object), KDE
// logout(0, 0, 0) (no confirmation, log off, now), Xfce Logout(false, true) (no dialog, allow saving).
const std::vector<SessionManagerLogout>& sessionManagerLogouts();

// Asks the first session manager present on the session bus to log off. nullopt when none is present;
// otherwise how that one answered. A refusal is not passed on to another manager: the one running the
// desktop has spoken, and forcing the session down behind its back would not be a polite log off.
std::optional<RequestResult> askSessionManagerToLogOff(sd_bus* sessionBus);

} // namespace orvanta::platform::linux_backend
