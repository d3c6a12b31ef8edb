#include "platform/linux/system_bus.h"

#include <fcntl.h>
#include <systemd/sd-bus.h>

namespace orvanta::platform::linux_backend {

void SdBusCloser::operator()(sd_bus* bus) const {
    sd_bus_flush_close_unref(bus);
}

SystemBus OpenSystemBus(std::chrono::milliseconds callTimeout) {
    sd_bus* raw = nullptr;
    if (sd_bus_open_system(&raw) < 0) return nullptr;
    SystemBus bus(raw);
    const auto usec = std::chrono::duration_cast<std::chrono::microseconds>(callTimeout).count();
    if (sd_bus_set_method_call_timeout(bus.get(), static_cast<uint64_t>(usec)) < 0) return nullptr;
    return bus;
}

std::optional<std::string> AskLogindManager(sd_bus* bus, const char* question) {
    if (!bus) return std::nullopt;
    sd_bus_error error = SD_BUS_ERROR_NULL;
    sd_bus_message* reply = nullptr;
    const char* answer = nullptr;
    std::optional<std::string> result;
    if (sd_bus_call_method(bus, logind::kService, logind::kPath, logind::kManager, question, &error, &reply,
                           "") >= 0 &&
        sd_bus_message_read(reply, "s", &answer) >= 0 && answer)
        result = answer;
    sd_bus_message_unref(reply);
    sd_bus_error_free(&error);
    return result;
}

UniqueFd Inhibit(sd_bus* bus, const InhibitRequest& request) {
    if (!bus) return {};
    sd_bus_error error = SD_BUS_ERROR_NULL;
    sd_bus_message* reply = nullptr;
    const int called = sd_bus_call_method(bus, logind::kService, logind::kPath, logind::kManager, "Inhibit",
                                          &error, &reply, "ssss", request.what.c_str(), request.who.c_str(),
                                          request.why.c_str(), request.mode.c_str());
    sd_bus_error_free(&error);
    if (called < 0) return {};
    int borrowed = -1;
    UniqueFd lock;
    // The descriptor belongs to the reply; keep a copy of our own past its release.
    if (sd_bus_message_read(reply, "h", &borrowed) >= 0 && borrowed >= 0)
        lock.reset(fcntl(borrowed, F_DUPFD_CLOEXEC, 3));
    sd_bus_message_unref(reply);
    return lock;
}

} // namespace orvanta::platform::linux_backend
