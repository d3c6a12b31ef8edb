#include "platform/linux/actions/bus_requests.h"

#include "platform/linux/user_bus.h"

#include <cerrno>
#include <cstring>
#include <systemd/sd-bus.h>

namespace orvanta::platform::linux_backend {

SystemBus OpenSessionBus(std::chrono::milliseconds callTimeout) {
    sd_bus* raw = nullptr;
    if (OpenUserBus(&raw) < 0) return nullptr;
    SystemBus bus(raw);
    const auto usec = std::chrono::duration_cast<std::chrono::microseconds>(callTimeout).count();
    if (sd_bus_set_method_call_timeout(bus.get(), static_cast<uint64_t>(usec)) < 0) return nullptr;
    return bus;
}

bool NameHasOwner(sd_bus* bus, const char* name) {
    if (!bus) return false;
    sd_bus_error error = SD_BUS_ERROR_NULL;
    sd_bus_message* reply = nullptr;
    int owned = 0;
    const bool answered =
        sd_bus_call_method(bus, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
                           "NameHasOwner", &error, &reply, "s", name) >= 0 &&
        sd_bus_message_read(reply, "b", &owned) >= 0;
    sd_bus_message_unref(reply);
    sd_bus_error_free(&error);
    return answered && owned;
}

RequestResult RequestResultOf(int callResult, const char* errorName) {
    if (callResult >= 0) return RequestResult::done;
    if (callResult == -ETIMEDOUT || callResult == -ENOTCONN || callResult == -ECONNRESET)
        return RequestResult::unavailable;
    for (const char* absent : {SD_BUS_ERROR_SERVICE_UNKNOWN, SD_BUS_ERROR_NAME_HAS_NO_OWNER,
                               SD_BUS_ERROR_UNKNOWN_METHOD, SD_BUS_ERROR_UNKNOWN_OBJECT,
                               SD_BUS_ERROR_UNKNOWN_INTERFACE, SD_BUS_ERROR_NO_REPLY, SD_BUS_ERROR_TIMEOUT})
        if (errorName && std::strcmp(errorName, absent) == 0) return RequestResult::unavailable;
    return RequestResult::refused;
}

BusReply BusReplyOf(int callResult, const sd_bus_error& error) {
    BusReply reply{RequestResultOf(callResult, error.name), {}};
    if (reply.result == RequestResult::done) return reply;
    if (error.name) {
        reply.error = error.name;
        if (error.message && *error.message) reply.error += std::string(": ") + error.message;
    } else {
        reply.error = std::strerror(-callResult);
    }
    return reply;
}

} // namespace orvanta::platform::linux_backend
