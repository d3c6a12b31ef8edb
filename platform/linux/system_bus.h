#pragma once

#include "platform/linux/unique_fd.h"

#include <chrono>
#include <memory>
#include <optional>
#include <string>

struct sd_bus;

namespace orvanta::platform::linux_backend {

struct SdBusCloser {
    void operator()(sd_bus* bus) const;
};

// One private connection to the system bus. sd-bus connections are not shared between threads: whoever
// opens one uses it alone.
using SystemBus = std::unique_ptr<sd_bus, SdBusCloser>;

// Opens a new connection whose every call gives up after callTimeout. nullptr when there is no system bus
// ($DBUS_SYSTEM_BUS_ADDRESS, else the standard socket).
SystemBus OpenSystemBus(std::chrono::milliseconds callTimeout);

namespace logind {
inline constexpr const char* kService = "org.freedesktop.login1";
inline constexpr const char* kPath = "/org/freedesktop/login1";
inline constexpr const char* kManager = "org.freedesktop.login1.Manager";
} // namespace logind

// The text logind's Manager answers to a question without arguments ("CanSuspend", "CanPowerOff", ...):
// "yes", "no", "challenge" or "na". nullopt when the call fails.
std::optional<std::string> AskLogindManager(sd_bus* bus, const char* question);

struct InhibitRequest {
    std::string what; // colon-separated: "sleep:idle"
    std::string who;
    std::string why;
    std::string mode; // "block" or "delay"
};

// Takes an inhibitor lock from logind; it lasts while the returned descriptor stays open. Invalid when
// there is no logind on the bus or it refused.
UniqueFd Inhibit(sd_bus* bus, const InhibitRequest& request);

} // namespace orvanta::platform::linux_backend
