#include "tools/orvantactl/doctor.h"

#include <functional>

namespace orvanta::ctl {
namespace {

using Need = std::function<bool(const data::TaskRecord&)>;

bool IsTimed(const data::TaskRecord& t) {
    return t.dateMode != data::kHotkey;
}
bool Wakes(const data::TaskRecord& t) {
    return IsTimed(t) && (t.event == data::kEventWakeOnly || t.event == data::kEventWakeAndRun);
}
Need EventIs(std::int64_t event) {
    return [event](const data::TaskRecord& t) { return t.event == event; };
}

class Report {
  public:
    Report(const std::vector<data::TaskRecord>& tasks, std::ostream& out) : tasks_(tasks), out_(out) {}

    // One line; when the check fails, the enabled tasks that need it turn a note into a fault.
    void Line(const std::string& subject, bool present, const std::string& found, const std::string& fix,
              const Need& need = {}) {
        const std::string users = present || !need ? std::string() : TasksNeeding(need);
        const std::string status = present ? "ok" : users.empty() ? "note" : "missing";
        if (!users.empty()) failed_ = true;
        std::string line = status + std::string(8 - status.size(), ' ') + subject + ": " + found;
        if (!present && !fix.empty()) line += "; fix: " + fix;
        if (!users.empty()) line += "; needed by " + users;
        out_ << line << '\n';
    }
    bool failed() const { return failed_; }

  private:
    std::string TasksNeeding(const Need& need) const {
        std::string names;
        int count = 0;
        for (const auto& t : tasks_) {
            if (t.enabled != 1 || !need(t)) continue;
            if (++count > 3) continue;
            if (!names.empty()) names += ", ";
            names += "task " + std::to_string(t.id) + " \"" + t.title + "\"";
        }
        if (count > 3) names += " and " + std::to_string(count - 3) + " more";
        return names;
    }

    const std::vector<data::TaskRecord>& tasks_;
    std::ostream& out_;
    bool failed_ = false;
};

std::string Joined(const std::vector<std::string>& items) {
    std::string text;
    for (const auto& item : items)
        text += (text.empty() ? "" : ", ") + item;
    return text;
}

void PowerActions(const platform::DesktopFacts& f, Report& report) {
    struct Action {
        const char* name;
        const char* question;
        std::int64_t event;
    };
    for (const Action& a : {Action{"shut down", "CanPowerOff", data::kEventShutDown},
                            Action{"restart", "CanReboot", data::kEventRestart},
                            Action{"sleep", "CanSuspend", data::kEventStandBy},
                            Action{"hibernate", "CanHibernate", data::kEventHibernate}}) {
        const auto it = f.logindCan.find(a.question);
        const std::string answer = it == f.logindCan.end() ? std::string() : it->second;
        const bool allowed = answer == "yes" || answer == "challenge";
        std::string found = answer.empty()
                                ? "logind gave no answer to " + std::string(a.question)
                                : "logind answers " + std::string(a.question) + " \"" + answer + "\"";
        if (answer == "challenge") found += " (it asks for a password first)";
        const std::string fix = answer == "na"
                                    ? "this computer or its configuration does not offer it"
                                    : "allow it in polkit or logind.conf, or ask the administrator";
        report.Line(a.name, allowed, found, fix, EventIs(a.event));
    }
}

} // namespace

int ReportDesktop(const platform::DesktopFacts& f, const AutostartEntry& autostart,
                  const std::vector<data::TaskRecord>& tasks, std::ostream& out) {
    Report report(tasks, out);
    const std::string program = f.programPath.empty() ? std::string("orvanta") : f.programPath;

    report.Line("wake alarm privilege", f.wakeAlarmPrivilege, f.wakeAlarmDetail,
                "sudo setcap cap_wake_alarm+ep " + program + " (the Debian package does this when installed)",
                Wakes);
    report.Line("RTC wake alarm", !f.rtcWakeAlarms.empty(),
                f.rtcWakeAlarms.empty() ? "no /sys/class/rtc/rtc*/wakealarm" : Joined(f.rtcWakeAlarms),
                "this computer's clock cannot wake it (virtual machines often have none)", Wakes);

    report.Line("logind", f.logindReachable,
                f.logindReachable ? "org.freedesktop.login1 answers on the system bus"
                                  : "org.freedesktop.login1 does not answer on the system bus",
                "power actions need systemd-logind (or elogind) running", [](const data::TaskRecord& t) {
                    return t.event == data::kEventShutDown || t.event == data::kEventRestart ||
                           t.event == data::kEventStandBy || t.event == data::kEventHibernate;
                });
    if (f.logindReachable) PowerActions(f, report);

    const std::string kind = f.wayland ? "Wayland" : f.xDisplay ? "X11" : "none";
    std::string session = kind + (f.sessionType.empty() ? "" : " (XDG_SESSION_TYPE=" + f.sessionType + ")");
    if (f.xDisplay) session += ", X display " + f.displayName + (f.wayland ? " through XWayland" : "");
    report.Line("session", f.xDisplay && !f.wayland, session,
                "log in to an X11 session (\"Xorg\" at the login screen)");

    const bool x11 = f.xDisplay && !f.wayland;
    const std::string onWayland = "Wayland lets no program take keys or type for other programs";
    const std::string noDisplay = "there is no X display ($DISPLAY)";
    auto xFeature = [&](const char* subject, bool extension, const char* extensionName, const Need& need) {
        const std::string found = !f.xDisplay ? noDisplay
                                  : f.wayland ? onWayland
                                  : extension ? std::string("the X server has ") + extensionName
                                              : std::string("the X server has no ") + extensionName;
        const std::string fix = !f.xDisplay || f.wayland ? "log in to an X11 session"
                                                         : std::string("an X server with ") + extensionName;
        report.Line(subject, x11 && extension, found, fix, need);
    };
    xFeature("global hotkeys", true, "core key grabs",
             [](const data::TaskRecord& t) { return t.dateMode == data::kHotkey; });
    xFeature("macro playback", f.xTest, "XTEST", [](const data::TaskRecord& t) { return !t.macro.empty(); });
    xFeature("macro recording", f.xRecord, "RECORD", {});
    xFeature("monitor off", f.xDpms, "DPMS", EventIs(data::kEventMonitorOff));
    xFeature("idle time", f.xScreenSaver, "MIT-SCREEN-SAVER", {});

    const bool tray = f.trayXEmbed || f.trayStatusNotifier;
    std::string trayFound = f.trayXEmbed && f.trayStatusNotifier
                                ? "an XEmbed tray and a StatusNotifierWatcher"
                            : f.trayXEmbed         ? "an XEmbed tray (_NET_SYSTEM_TRAY)"
                            : f.trayStatusNotifier ? "a StatusNotifierWatcher on the session bus"
                                                   : "none; the window stays on the task bar instead";
    report.Line("tray host", tray, trayFound,
                "a panel with a notification area (on GNOME: gnome-shell-extension-appindicator)");
    report.Line("notification server", f.notificationServer,
                f.notificationServer ? "org.freedesktop.Notifications is on the session bus"
                : f.sessionBus       ? "nothing owns org.freedesktop.Notifications; reminders use the tray"
                                     : "there is no session bus",
                "a desktop's notification daemon (e.g. notification-daemon or dunst)");

    const bool started = !autostart.program.empty();
    report.Line(
        "start at log in", started,
        started ? "the autostart entry starts " + autostart.program : "no autostart entry",
        "tick Start at Log In in the options, or timed tasks run only while Orvanta was started by hand", {});
    return report.failed() ? 1 : 0;
}

} // namespace orvanta::ctl
