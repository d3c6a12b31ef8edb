#include "platform/linux/desktop_probe.h"

#include "platform/linux/linux_power_status.h"
#include "platform/linux/system_bus.h"
#include "platform/linux/user_bus.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <sys/xattr.h>
#include <systemd/sd-bus.h>
#include <unistd.h>

namespace orvanta::platform::linux_backend {
namespace {

namespace fs = std::filesystem;

constexpr unsigned kCapWakeAlarm = 35;
constexpr std::uint32_t kRevisionMask = 0xFF000000;
constexpr std::uint32_t kRevision2 = 0x02000000;
constexpr std::uint32_t kRevision3 = 0x03000000;
constexpr std::uint32_t kEffective = 0x000001;
constexpr char kPortalService[] = "org.freedesktop.portal.Desktop";
constexpr char kPortalObject[] = "/org/freedesktop/portal/desktop";

std::uint32_t LittleEndianWord(const std::string& bytes, std::size_t at) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i)
        value |= std::uint32_t(static_cast<unsigned char>(bytes[at + i])) << (8 * i);
    return value;
}

std::string ReadCapabilityAttribute(const std::string& path) {
    char buffer[64];
    const ssize_t size = getxattr(path.c_str(), "security.capability", buffer, sizeof buffer);
    return size > 0 ? std::string(buffer, static_cast<std::size_t>(size)) : std::string();
}

void ProbeWakeAlarm(const DesktopProbeSources& sources, DesktopFacts& f) {
    f.programPath = sources.programPath;
    std::error_code ec;
    f.programFound = !sources.programPath.empty() && fs::is_regular_file(sources.programPath, ec);
    // The file's capability comes first: the program runs as the user, whoever asks.
    const std::string program = sources.programPath.empty() ? std::string("orvanta") : sources.programPath;
    const bool fileHasIt = f.programFound && ProgramHasWakeAlarm(sources.programPath);
    if (fileHasIt) {
        f.wakeAlarmPrivilege = true;
        f.wakeAlarmDetail = program + " has cap_wake_alarm";
    } else if (geteuid() == 0) {
        f.wakeAlarmPrivilege = true;
        f.wakeAlarmDetail = "running as root; for other users " + program +
                            (f.programFound ? " lacks cap_wake_alarm" : " was not found");
    } else {
        f.wakeAlarmDetail = f.programFound ? program + " lacks cap_wake_alarm, so its timers cannot wake the "
                                                       "computer"
                                           : "the program " + program + " was not found";
    }
    // The same clocks the program's own answer counts.
    f.rtcWakeAlarms = FindRtcWakeAlarms(sources.rtcRoot);
}

void ProbeLogind(DesktopFacts& f) {
    const SystemBus bus = OpenSystemBus(std::chrono::seconds(2));
    if (!bus) return;
    for (const char* question : {"CanPowerOff", "CanReboot", "CanSuspend", "CanHibernate"})
        if (const auto answer = AskLogindManager(bus.get(), question)) {
            f.logindReachable = true;
            f.logindCan[question] = *answer;
        }
}

// A reply of the bus daemon itself; false when the call fails.
template <typename Read> bool AskBus(sd_bus* bus, const char* method, const char* name, Read read) {
    sd_bus_error error = SD_BUS_ERROR_NULL;
    sd_bus_message* reply = nullptr;
    const int called = name ? sd_bus_call_method(bus, "org.freedesktop.DBus", "/org/freedesktop/DBus",
                                                 "org.freedesktop.DBus", method, &error, &reply, "s", name)
                            : sd_bus_call_method(bus, "org.freedesktop.DBus", "/org/freedesktop/DBus",
                                                 "org.freedesktop.DBus", method, &error, &reply, "");
    const bool found = called >= 0 && read(reply);
    sd_bus_message_unref(reply);
    sd_bus_error_free(&error);
    return found;
}

bool HasOwner(sd_bus* bus, const char* name) {
    return AskBus(bus, "NameHasOwner", name, [](sd_bus_message* reply) {
        int owned = 0;
        return sd_bus_message_read(reply, "b", &owned) >= 0 && owned != 0;
    });
}

bool CanBeStarted(sd_bus* bus, const std::string& name) {
    return AskBus(bus, "ListActivatableNames", nullptr, [&name](sd_bus_message* reply) {
        if (sd_bus_message_enter_container(reply, 'a', "s") < 0) return false;
        const char* each = nullptr;
        while (sd_bus_message_read(reply, "s", &each) > 0)
            if (name == each) return true;
        return false;
    });
}

// The portal frontend's object answers for every portal the desktop offers; an interface it lacks has
// no version to read.
unsigned PortalVersion(sd_bus* bus, const char* interface) {
    sd_bus_error error = SD_BUS_ERROR_NULL;
    std::uint32_t version = 0;
    const int got = sd_bus_get_property_trivial(bus, kPortalService, kPortalObject, interface, "version",
                                                &error, 'u', &version);
    sd_bus_error_free(&error);
    return got >= 0 ? version : 0;
}

bool PortalOffers(sd_bus* bus, const char* interface) {
    sd_bus_error error = SD_BUS_ERROR_NULL;
    sd_bus_message* reply = nullptr;
    const char* xml = nullptr;
    const int called =
        sd_bus_call_method(bus, kPortalService, kPortalObject, "org.freedesktop.DBus.Introspectable",
                           "Introspect", &error, &reply, "");
    const bool offered = called >= 0 && sd_bus_message_read(reply, "s", &xml) >= 0 && xml &&
                         std::string(xml).find(std::string("\"") + interface + "\"") != std::string::npos;
    sd_bus_message_unref(reply);
    sd_bus_error_free(&error);
    return offered;
}

void ProbePortals(sd_bus* bus, DesktopFacts& f) {
    if (!HasOwner(bus, kPortalService) && !CanBeStarted(bus, kPortalService)) return;
    f.globalShortcutsPortal = PortalVersion(bus, "org.freedesktop.portal.GlobalShortcuts");
    f.remoteDesktopPortal = PortalVersion(bus, "org.freedesktop.portal.RemoteDesktop");
    f.portalRegistry = PortalOffers(bus, "org.freedesktop.host.portal.Registry");
}

void ProbeSessionBus(DesktopFacts& f) {
    sd_bus* raw = nullptr;
    if (OpenUserBus(&raw) < 0) return;
    const std::unique_ptr<sd_bus, SdBusCloser> bus(raw);
    sd_bus_set_method_call_timeout(raw, 2'000'000);
    f.sessionBus = true;
    f.trayStatusNotifier = HasOwner(raw, "org.kde.StatusNotifierWatcher");
    f.notificationServer =
        HasOwner(raw, "org.freedesktop.Notifications") || CanBeStarted(raw, "org.freedesktop.Notifications");
    ProbePortals(raw, f);
}

struct DisplayCloser {
    void operator()(Display* display) const { XCloseDisplay(display); }
};

void ProbeX(DesktopFacts& f) {
    const char* display = std::getenv("DISPLAY");
    f.displayName = display ? display : "";
    const std::unique_ptr<Display, DisplayCloser> x(XOpenDisplay(nullptr));
    if (!x) return;
    f.xDisplay = true;
    auto has = [&](const char* extension) {
        int opcode = 0, event = 0, error = 0;
        return XQueryExtension(x.get(), extension, &opcode, &event, &error) == True;
    };
    f.xRecord = has("RECORD");
    f.xTest = has("XTEST");
    f.xScreenSaver = has("MIT-SCREEN-SAVER");
    f.xDpms = has("DPMS");
    const std::string selection = "_NET_SYSTEM_TRAY_S" + std::to_string(DefaultScreen(x.get()));
    f.trayXEmbed = XGetSelectionOwner(x.get(), XInternAtom(x.get(), selection.c_str(), False)) != None;
}

} // namespace

bool CapabilityGrantsWakeAlarm(const std::string& attribute) {
    if (attribute.size() < 20) return false;
    const std::uint32_t magic = LittleEndianWord(attribute, 0);
    const std::uint32_t revision = magic & kRevisionMask;
    if (revision != kRevision2 && revision != kRevision3) return false;
    if (!(magic & kEffective)) return false;
    const std::uint32_t permittedHigh = LittleEndianWord(attribute, 12);
    return (permittedHigh >> (kCapWakeAlarm - 32)) & 1U;
}

DesktopFacts ProbeDesktop(const DesktopProbeSources& sources) {
    DesktopFacts f = ProbeSession();
    ProbeWakeAlarm(sources, f);
    ProbeLogind(f);
    return f;
}

DesktopFacts ProbeSession() {
    DesktopFacts f;
    const char* type = std::getenv("XDG_SESSION_TYPE");
    f.sessionType = type ? type : "";
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    f.waylandDisplay = wayland ? wayland : "";
    f.wayland = f.sessionType == "wayland" || !f.waylandDisplay.empty();
    ProbeSessionBus(f);
    ProbeX(f);
    return f;
}

bool ProgramHasWakeAlarm(const std::string& path) {
    return CapabilityGrantsWakeAlarm(ReadCapabilityAttribute(path));
}

std::string FindOrvantaProgram(const std::string& ownFolder) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path beside = fs::path(ownFolder) / "orvanta";
    if (fs::is_regular_file(beside, ec)) return beside.string();
    const char* path = std::getenv("PATH");
    const std::string folders = path ? path : "";
    for (std::size_t start = 0; start <= folders.size();) {
        const std::size_t end = std::min(folders.find(':', start), folders.size());
        const fs::path candidate = fs::path(folders.substr(start, end - start)) / "orvanta";
        if (end > start && fs::is_regular_file(candidate, ec)) return candidate.string();
        start = end + 1;
    }
    return {};
}

} // namespace orvanta::platform::linux_backend
