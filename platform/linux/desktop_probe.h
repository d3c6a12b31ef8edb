#pragma once

#include "platform/api/desktop_facts.h"

#include <string>

namespace orvanta::platform::linux_backend {

struct DesktopProbeSources {
    std::string programPath; // the orvanta executable whose file capabilities count
    std::string rtcRoot = "/sys/class/rtc";
};

// Asks the system itself: the program file's capabilities, the RTCs, logind on the system bus, the
// session bus, the X display ($DISPLAY) and its extensions and tray selection. Every part that cannot
// be asked is reported absent; nothing here throws.
DesktopFacts ProbeDesktop(const DesktopProbeSources& sources);

// Only the session's part: its type, the session bus with its tray watcher, notification server and
// portals, and the X display. What the running program asks at its start to pick its backends.
DesktopFacts ProbeSession();

// The program whose wake-up timers count: the orvanta beside the asking program (a package, a build
// tree), else the first on PATH; empty when there is none.
std::string FindOrvantaProgram(const std::string& ownFolder);

// Whether the file's capabilities let a program started from it, by any user, set wake-up timers.
bool ProgramHasWakeAlarm(const std::string& path);

// Whether a security.capability attribute's bytes grant CAP_WAKE_ALARM as a permitted and effective
// capability (revisions 2 and 3; revision 1 has no room for it).
bool CapabilityGrantsWakeAlarm(const std::string& attribute);

} // namespace orvanta::platform::linux_backend
