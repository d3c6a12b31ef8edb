#include "tools/orvanta_settings/system_services.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <grp.h>
#include <pwd.h>
#include <stdlib.h>
#include <string_view>
#include <sys/stat.h>
#include <systemd/sd-bus.h>
#include <unistd.h>

namespace orvanta::settings_tool {
namespace {

bool IsSocket(const std::string& path) {
    struct stat s {};
    return stat(path.c_str(), &s) == 0 && S_ISSOCK(s.st_mode);
}

// The desktop's name as the user's service manager was told it when the session started.
void TakeDesktopFromUserManager() {
    sd_bus* bus = nullptr;
    if (sd_bus_open_user(&bus) < 0) return;
    char** environment = nullptr;
    sd_bus_error error = SD_BUS_ERROR_NULL;
    if (sd_bus_get_property_strv(bus, "org.freedesktop.systemd1", "/org/freedesktop/systemd1",
                                 "org.freedesktop.systemd1.Manager", "Environment", &error,
                                 &environment) >= 0) {
        constexpr std::string_view kName = "XDG_CURRENT_DESKTOP=";
        for (char** entry = environment; entry && *entry; ++entry) {
            const std::string_view text(*entry);
            if (text.substr(0, kName.size()) == kName && getenv("XDG_CURRENT_DESKTOP") == nullptr)
                setenv("XDG_CURRENT_DESKTOP", std::string(text.substr(kName.size())).c_str(), 1);
            free(*entry);
        }
        free(environment);
    }
    sd_bus_error_free(&error);
    sd_bus_flush_close_unref(bus);
}

} // namespace

bool BecomeCallingUser(std::ostream& err) {
    const char* caller = getenv("PKEXEC_UID");
    if (geteuid() != 0 || caller == nullptr) return true;
    char* end = nullptr;
    errno = 0;
    const unsigned long uid = std::strtoul(caller, &end, 10);
    const passwd* user =
        (errno == 0 && end != caller && *end == '\0') ? getpwuid(static_cast<uid_t>(uid)) : nullptr;
    if (user == nullptr) {
        err << "Orvanta_Settings: the user who started this program is unknown\n";
        return false;
    }
    const std::string name = user->pw_name, home = user->pw_dir;
    const gid_t group = user->pw_gid;
    if (initgroups(name.c_str(), group) != 0 || setgid(group) != 0 || setuid(static_cast<uid_t>(uid)) != 0 ||
        geteuid() != static_cast<uid_t>(uid)) {
        err << "Orvanta_Settings: could not act as user " << name << ": " << std::strerror(errno) << "\n";
        return false;
    }
    setenv("HOME", home.c_str(), 1);
    setenv("USER", name.c_str(), 1);
    setenv("LOGNAME", name.c_str(), 1);
    unsetenv("XDG_CONFIG_HOME");
    const std::string runtime = "/run/user/" + std::to_string(uid);
    if (access(runtime.c_str(), X_OK) == 0) {
        setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
        if (IsSocket(runtime + "/bus"))
            setenv("DBUS_SESSION_BUS_ADDRESS", ("unix:path=" + runtime + "/bus").c_str(), 1);
    }
    if (getenv("XDG_CURRENT_DESKTOP") == nullptr) TakeDesktopFromUserManager();
    return true;
}

std::string EnableNetworkTime() {
    sd_bus* bus = nullptr;
    int r = sd_bus_open_system(&bus);
    if (r < 0) return std::string("no system bus: ") + std::strerror(-r);
    sd_bus_set_allow_interactive_authorization(bus, 1);
    sd_bus_error error = SD_BUS_ERROR_NULL;
    r = sd_bus_call_method(bus, "org.freedesktop.timedate1", "/org/freedesktop/timedate1",
                           "org.freedesktop.timedate1", "SetNTP", &error, nullptr, "bb", 1, 1);
    std::string problem;
    if (r < 0) problem = error.message ? error.message : std::strerror(-r);
    sd_bus_error_free(&error);
    sd_bus_flush_close_unref(bus);
    return problem;
}

} // namespace orvanta::settings_tool
