#include "platform/linux/actions/desktop_logout.h"

#include "platform/linux/actions/bus_requests.h"

#include <systemd/sd-bus.h>

namespace orvanta::platform::linux_backend {
namespace {

RequestResult CallLogout(sd_bus* bus, const SessionManagerLogout& logout) {
    sd_bus_message* call = nullptr;
    sd_bus_error error = SD_BUS_ERROR_NULL;
    int result = sd_bus_message_new_method_call(bus, &call, logout.service, logout.path, logout.interface,
                                                logout.method);
    if (result >= 0) result = logout.appendArguments(call);
    if (result >= 0) result = sd_bus_call(bus, call, 0, &error, nullptr);
    const RequestResult outcome = RequestResultOf(result, error.name);
    sd_bus_error_free(&error);
    sd_bus_message_unref(call);
    return outcome;
}

} // namespace

const std::vector<SessionManagerLogout>& SessionManagerLogouts() {
    static const std::vector<SessionManagerLogout> logouts{
        {"org.gnome.SessionManager", "/org/gnome/SessionManager", "org.gnome.SessionManager", "Logout",
         [](sd_bus_message* call) { return sd_bus_message_append(call, "u", static_cast<uint32_t>(1)); }},
        {"org.kde.ksmserver", "/KSMServer", "org.kde.KSMServerInterface", "logout",
         [](sd_bus_message* call) { return sd_bus_message_append(call, "iii", 0, 0, 0); }},
        {"org.xfce.SessionManager", "/org/xfce/SessionManager", "org.xfce.Session.Manager", "Logout",
         [](sd_bus_message* call) { return sd_bus_message_append(call, "bb", 0, 1); }},
    };
    return logouts;
}

const std::vector<SessionManagerLogout>& SessionManagerShutdowns() {
    static const std::vector<SessionManagerLogout> shutdowns{
        {"org.gnome.SessionManager", "/org/gnome/SessionManager", "org.gnome.SessionManager",
         "RequestShutdown", [](sd_bus_message*) { return 0; }},
        {"org.kde.ksmserver", "/KSMServer", "org.kde.KSMServerInterface", "logout",
         [](sd_bus_message* call) { return sd_bus_message_append(call, "iii", 0, 2, 0); }},
        {"org.xfce.SessionManager", "/org/xfce/SessionManager", "org.xfce.Session.Manager", "Shutdown",
         [](sd_bus_message* call) { return sd_bus_message_append(call, "b", 1); }},
    };
    return shutdowns;
}

const std::vector<SessionManagerLogout>& SessionManagerReboots() {
    static const std::vector<SessionManagerLogout> reboots{
        {"org.gnome.SessionManager", "/org/gnome/SessionManager", "org.gnome.SessionManager", "RequestReboot",
         [](sd_bus_message*) { return 0; }},
        {"org.kde.ksmserver", "/KSMServer", "org.kde.KSMServerInterface", "logout",
         [](sd_bus_message* call) { return sd_bus_message_append(call, "iii", 0, 1, 0); }},
        {"org.xfce.SessionManager", "/org/xfce/SessionManager", "org.xfce.Session.Manager", "Restart",
         [](sd_bus_message* call) { return sd_bus_message_append(call, "b", 1); }},
    };
    return reboots;
}

std::optional<RequestResult> AskSessionManager(sd_bus* bus, const std::vector<SessionManagerLogout>& calls) {
    if (!bus) return std::nullopt;
    for (const SessionManagerLogout& call : calls)
        if (NameHasOwner(bus, call.service)) return CallLogout(bus, call);
    return std::nullopt;
}

std::optional<RequestResult> AskSessionManagerToLogOff(sd_bus* bus) {
    return AskSessionManager(bus, SessionManagerLogouts());
}

} // namespace orvanta::platform::linux_backend
