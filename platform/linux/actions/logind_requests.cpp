#include "platform/linux/actions/logind_requests.h"

#include "platform/linux/actions/bus_requests.h"
#include "platform/linux/system_bus.h"

#include <cstdlib>
#include <systemd/sd-bus.h>
#include <unistd.h>

namespace orvanta::platform::linux_backend {
namespace {

constexpr const char* kSessionInterface = "org.freedesktop.login1.Session";
constexpr const char* kUserInterface = "org.freedesktop.login1.User";

// Calls a Manager method that answers one object path; empty when it failed.
std::string managerPath(sd_bus* bus, const char* method, const char* types, auto... arguments) {
    sd_bus_error error = SD_BUS_ERROR_NULL;
    sd_bus_message* reply = nullptr;
    std::string path;
    const char* read = nullptr;
    if (sd_bus_call_method(bus, logind::kService, logind::kPath, logind::kManager, method, &error, &reply,
                           types, arguments...) >= 0 &&
        sd_bus_message_read(reply, "o", &read) >= 0 && read)
        path = read;
    sd_bus_message_unref(reply);
    sd_bus_error_free(&error);
    return path;
}

std::optional<LogindSession> sessionOfProcess(sd_bus* bus) {
    const std::string path = managerPath(bus, "GetSessionByPID", "u", static_cast<uint32_t>(getpid()));
    if (path.empty()) return std::nullopt;
    sd_bus_error error = SD_BUS_ERROR_NULL;
    char* id = nullptr;
    const int got =
        sd_bus_get_property_string(bus, logind::kService, path.c_str(), kSessionInterface, "Id", &error, &id);
    sd_bus_error_free(&error);
    std::optional<LogindSession> session;
    if (got >= 0 && id && *id) session = LogindSession{id, path};
    free(id);
    return session;
}

std::optional<LogindSession> sessionFromEnvironment(sd_bus* bus) {
    const char* id = std::getenv("XDG_SESSION_ID");
    if (!id || !*id) return std::nullopt;
    const std::string path = managerPath(bus, "GetSession", "s", id);
    if (path.empty()) return std::nullopt;
    return LogindSession{id, path};
}

std::optional<LogindSession> displaySessionOfUser(sd_bus* bus) {
    const std::string user = managerPath(bus, "GetUser", "u", static_cast<uint32_t>(getuid()));
    if (user.empty()) return std::nullopt;
    sd_bus_error error = SD_BUS_ERROR_NULL;
    sd_bus_message* reply = nullptr;
    const char* id = nullptr;
    const char* path = nullptr;
    std::optional<LogindSession> session;
    if (sd_bus_get_property(bus, logind::kService, user.c_str(), kUserInterface, "Display", &error, &reply,
                            "(so)") >= 0 &&
        sd_bus_message_read(reply, "(so)", &id, &path) >= 0 && id && *id && path)
        session = LogindSession{id, path};
    sd_bus_message_unref(reply);
    sd_bus_error_free(&error);
    return session;
}

} // namespace

std::optional<LogindSession> FindOwnSession(sd_bus* bus) {
    if (!bus) return std::nullopt;
    if (auto session = sessionOfProcess(bus)) return session;
    if (auto session = sessionFromEnvironment(bus)) return session;
    return displaySessionOfUser(bus);
}

BusReply CallLogindManager(sd_bus* bus, const char* method, bool interactive) {
    if (!bus) return {RequestResult::unavailable, "no system bus"};
    sd_bus_error error = SD_BUS_ERROR_NULL;
    const int called = sd_bus_call_method(bus, logind::kService, logind::kPath, logind::kManager, method,
                                          &error, nullptr, "b", interactive ? 1 : 0);
    BusReply reply = BusReplyOf(called, error);
    sd_bus_error_free(&error);
    return reply;
}

std::string BlockingInhibitors(sd_bus* bus, const char* method) {
    if (!bus) return {};
    const std::string m = method;
    const char* lock = m == "PowerOff" || m == "Reboot"     ? "shutdown"
                       : m == "Suspend" || m == "Hibernate" ? "sleep"
                                                            : "";
    if (!*lock) return {};
    sd_bus_error error = SD_BUS_ERROR_NULL;
    sd_bus_message* reply = nullptr;
    std::string found;
    if (sd_bus_call_method(bus, logind::kService, logind::kPath, logind::kManager, "ListInhibitors", &error,
                           &reply, "") >= 0 &&
        sd_bus_message_enter_container(reply, 'a', "(ssssuu)") >= 0) {
        const char *what = nullptr, *who = nullptr, *why = nullptr, *mode = nullptr;
        uint32_t uid = 0, pid = 0;
        while (sd_bus_message_read(reply, "(ssssuu)", &what, &who, &why, &mode, &uid, &pid) > 0) {
            // what is a colon-separated list: "shutdown:sleep".
            const std::string whats = std::string(":") + what + ":";
            if (std::string(mode) != "block" ||
                whats.find(std::string(":") + lock + ":") == std::string::npos)
                continue;
            if (!found.empty()) found += ", ";
            found += std::string(who) + " (" + why + ")";
        }
    }
    sd_bus_message_unref(reply);
    sd_bus_error_free(&error);
    return found;
}

BusReply LockOwnSession(sd_bus* bus) {
    const auto session = FindOwnSession(bus);
    if (!session)
        return {RequestResult::unavailable, bus ? "logind knows no session of ours" : "no system bus"};
    sd_bus_error error = SD_BUS_ERROR_NULL;
    const int called = sd_bus_call_method(bus, logind::kService, session->path.c_str(), kSessionInterface,
                                          "Lock", &error, nullptr, "");
    BusReply reply = BusReplyOf(called, error);
    sd_bus_error_free(&error);
    return reply;
}

BusReply TerminateOwnSession(sd_bus* bus) {
    const auto session = FindOwnSession(bus);
    if (!session)
        return {RequestResult::unavailable, bus ? "logind knows no session of ours" : "no system bus"};
    sd_bus_error error = SD_BUS_ERROR_NULL;
    const int called = sd_bus_call_method(bus, logind::kService, logind::kPath, logind::kManager,
                                          "TerminateSession", &error, nullptr, "s", session->id.c_str());
    BusReply reply = BusReplyOf(called, error);
    sd_bus_error_free(&error);
    return reply;
}

} // namespace orvanta::platform::linux_backend
