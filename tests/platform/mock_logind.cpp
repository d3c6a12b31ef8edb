#include "tests/platform/mock_logind.h"

#include <systemd/sd-bus.h>

namespace orvanta::test {
namespace lb = platform::linux_backend;

MockLogind::MockLogind() : bus_(lb::OpenSystemBus(std::chrono::seconds(5))) {
    if (!bus_) return;
    sd_bus_error error = SD_BUS_ERROR_NULL;
    sd_bus_message* reply = nullptr;
    int owned = 0;
    if (sd_bus_call_method(bus_.get(), "org.freedesktop.DBus", "/org/freedesktop/DBus",
                           "org.freedesktop.DBus", "NameHasOwner", &error, &reply, "s",
                           lb::logind::kService) >= 0 &&
        sd_bus_message_read(reply, "b", &owned) >= 0)
        present_ = owned != 0;
    sd_bus_message_unref(reply);
    sd_bus_error_free(&error);
}

bool MockLogind::emitPrepareForSleep(bool goingToSleep) {
    if (!bus_) return false;
    sd_bus_error error = SD_BUS_ERROR_NULL;
    const int sent = sd_bus_call_method(
        bus_.get(), lb::logind::kService, lb::logind::kPath, "org.freedesktop.DBus.Mock", "EmitSignal",
        &error, nullptr, "sssav", lb::logind::kManager, "PrepareForSleep", "b", 1, "b", goingToSleep ? 1 : 0);
    sd_bus_error_free(&error);
    return sent >= 0;
}

std::optional<std::vector<MockLogind::Inhibitor>> MockLogind::inhibitors() {
    if (!bus_) return std::nullopt;
    sd_bus_error error = SD_BUS_ERROR_NULL;
    sd_bus_message* reply = nullptr;
    const int called = sd_bus_call_method(bus_.get(), lb::logind::kService, lb::logind::kPath,
                                          lb::logind::kManager, "ListInhibitors", &error, &reply, "");
    sd_bus_error_free(&error);
    if (called < 0) return std::nullopt;
    std::vector<Inhibitor> found;
    bool ok = sd_bus_message_enter_container(reply, 'a', "(ssssuu)") >= 0;
    const char *what, *who, *why, *mode;
    uint32_t uid, pid;
    int read = 0;
    while (ok && (read = sd_bus_message_read(reply, "(ssssuu)", &what, &who, &why, &mode, &uid, &pid)) > 0)
        found.push_back({what, who, why, mode});
    sd_bus_message_unref(reply);
    if (!ok || read < 0) return std::nullopt;
    return found;
}

} // namespace orvanta::test
