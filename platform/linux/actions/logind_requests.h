#pragma once

#include "platform/api/session_power.h"
#include "platform/linux/actions/bus_requests.h"

#include <optional>
#include <string>

struct sd_bus;

namespace orvanta::platform::linux_backend {

// The logind session this process belongs to.
struct LogindSession {
    std::string id;
    std::string path;
};

// Our session: the one logind files our process under; else the one named by $XDG_SESSION_ID (a
// process started outside the session, by a user service say, still carries it); else the user's
// display session. nullopt when none of these answers.
std::optional<LogindSession> FindOwnSession(sd_bus* systemBus);

// Manager.PowerOff, Reboot, Suspend or Hibernate. Not interactive unless asked: polkit then decides
// without a prompt, which nobody may be there to answer at a scheduled moment. Interactive lets polkit
// ask the user, for a request the user has just made.
BusReply CallLogindManager(sd_bus* systemBus, const char* method, bool interactive = false);

// The programs holding a blocking inhibitor against a Manager method ("PowerOff", "Suspend", ...), as
// "who (why)" joined by ", "; empty when none or when logind cannot be asked.
std::string BlockingInhibitors(sd_bus* systemBus, const char* method);

// Session.Lock on our session; desktops lock their screen on it.
BusReply LockOwnSession(sd_bus* systemBus);

// Manager.TerminateSession on our session: every process in it ends.
BusReply TerminateOwnSession(sd_bus* systemBus);

} // namespace orvanta::platform::linux_backend
