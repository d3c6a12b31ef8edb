#pragma once

#include <cerrno>
#include <cstdlib>
#include <string>
#include <systemd/sd-bus.h>

namespace orvanta::platform::linux_backend {

// Opens a connection to the user's session bus as the environment names it: $DBUS_SESSION_BUS_ADDRESS,
// else the bus in $XDG_RUNTIME_DIR. sd_bus_open_user reads these with secure_getenv, which answers
// nothing in a program that gained a file capability (the package gives the program CAP_WAKE_ALARM), so
// for an ordinary user it would find no session bus at all. The variables are the user's own, and the
// bus still checks who connects. Returns 0 or a negative errno, as sd-bus does. Header-only, as the
// hook library uses it too.
inline int OpenUserBus(sd_bus** out) {
    std::string address;
    if (const char* named = std::getenv("DBUS_SESSION_BUS_ADDRESS"); named && *named)
        address = named;
    else if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && *runtime == '/')
        address = std::string("unix:path=") + runtime + "/bus";
    else
        return -ENOMEDIUM;
    sd_bus* bus = nullptr;
    int r = sd_bus_new(&bus);
    if (r < 0) return r;
    if ((r = sd_bus_set_address(bus, address.c_str())) >= 0 && (r = sd_bus_set_bus_client(bus, 1)) >= 0 &&
        (r = sd_bus_start(bus)) >= 0) {
        *out = bus;
        return 0;
    }
    sd_bus_unref(bus);
    return r;
}

} // namespace orvanta::platform::linux_backend
