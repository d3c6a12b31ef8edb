#pragma once

#include "platform/api/session_power.h"
#include "platform/linux/system_bus.h"

#include <chrono>
#include <string>
#include <systemd/sd-bus.h>

namespace orvanta::platform::linux_backend {

// One private connection to the user's session bus ($DBUS_SESSION_BUS_ADDRESS, else the one in
// $XDG_RUNTIME_DIR) whose every call gives up after callTimeout; nullptr when there is none.
SystemBus OpenSessionBus(std::chrono::milliseconds callTimeout);

// Whether something owns the name on the bus now. Asking first keeps a call to an absent desktop
// service from starting one through bus activation.
bool NameHasOwner(sd_bus* bus, const char* name);

// How a method call came out: done when it returned, unavailable when nothing answered (no such name,
// object or method; no answer in time), refused for any other error (not authorised, inhibited, busy).
// errorName is the name of the error reply, if any.
RequestResult RequestResultOf(int callResult, const char* errorName);

// A request's outcome with the bus's own words for a failure ("name: message"), for the log.
struct BusReply {
    RequestResult result;
    std::string error;
};
BusReply BusReplyOf(int callResult, const sd_bus_error& error);

} // namespace orvanta::platform::linux_backend
