#pragma once

#include <map>
#include <string>
#include <vector>

namespace orvanta::platform {

// What this desktop offers the program, as found by asking the system itself. Each check's detail says
// what was found, so that a report can name it.
struct DesktopFacts {
    // The program whose privileges count: timers are created by it, not by the companion that asks.
    std::string programPath;
    bool programFound = false;
    // CAP_WAKE_ALARM in the program file's permitted and effective sets, or a user who is root.
    bool wakeAlarmPrivilege = false;
    std::string wakeAlarmDetail;
    // The RTCs with a wakealarm attribute.
    std::vector<std::string> rtcWakeAlarms;

    bool logindReachable = false;
    // logind's answers: "CanPowerOff", "CanReboot", "CanSuspend", "CanHibernate" to "yes", "no",
    // "challenge", "na"; missing where the call failed.
    std::map<std::string, std::string> logindCan;

    std::string sessionType;    // "x11", "wayland", "tty", ... or "" when nobody says
    bool wayland = false;       // a Wayland compositor runs the session (the X display is then XWayland)
    std::string waylandDisplay; // $WAYLAND_DISPLAY
    bool xDisplay = false;
    std::string displayName;
    bool xRecord = false;
    bool xTest = false;
    bool xScreenSaver = false;
    bool xDpms = false;

    bool trayXEmbed = false;         // a client owns _NET_SYSTEM_TRAY_S<screen>
    bool trayStatusNotifier = false; // org.kde.StatusNotifierWatcher has an owner on the session bus
    bool sessionBus = false;
    bool notificationServer = false; // org.freedesktop.Notifications has an owner or can be started

    // The desktop portals on the session bus, by the version of their interface; 0 where one is not offered.
    unsigned globalShortcutsPortal = 0;
    unsigned remoteDesktopPortal = 0;
    bool portalRegistry = false; // org.freedesktop.host.portal.Registry, which ties a program to its app ID

    std::string autostartFile;
    bool autostartPresent = false;
};

} // namespace orvanta::platform
