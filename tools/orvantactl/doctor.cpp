#include "tools/orvantactl/doctor.h"

#include "platform/features/feature_answers.h"

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

void Session(const platform::DesktopFacts& f, Report& report) {
    const platform::SessionKind kind = platform::KindOfSession(f);
    std::string session = kind == platform::SessionKind::Wayland ? "Wayland"
                          : kind == platform::SessionKind::X11   ? "X11"
                                                                 : "none";
    if (!f.sessionType.empty()) session += " (XDG_SESSION_TYPE=" + f.sessionType + ")";
    if (!f.waylandDisplay.empty()) session += ", Wayland display " + f.waylandDisplay;
    if (f.xDisplay) session += ", X display " + f.displayName + (f.wayland ? " through XWayland" : "");
    report.Line("session", kind == platform::SessionKind::X11, session,
                "log in to an X11 session (\"Xorg\" at the login screen)");
    if (kind != platform::SessionKind::Wayland) return;
    auto portal = [](unsigned version) {
        return version ? "version " + std::to_string(version) : std::string("not offered");
    };
    report.Line(
        "desktop portals", f.globalShortcutsPortal || f.remoteDesktopPortal,
        "GlobalShortcuts " + portal(f.globalShortcutsPortal) + ", RemoteDesktop " +
            portal(f.remoteDesktopPortal) +
            (f.portalRegistry ? ", app ID registry offered" : ", no app ID registry"),
        "xdg-desktop-portal with the desktop's own backend (KDE Plasma 5.27 or later, GNOME 48 or later)");
}

std::string FeatureFix(const platform::FeatureAnswer& answer, const platform::DesktopFacts& f) {
    if (answer.reasonKey == "NoTrayHost")
        return "a panel with a notification area (on GNOME: gnome-shell-extension-appindicator)";
    if (platform::KindOfSession(f) == platform::SessionKind::X11) return "an X server with the extension";
    return "log in to an X11 session";
}

void Features(const platform::DesktopFacts& f, Report& report) {
    for (const platform::DesktopFeature feature : platform::kAllDesktopFeatures) {
        Need need;
        switch (feature) {
        case platform::DesktopFeature::GlobalHotkeys:
            need = [](const data::TaskRecord& t) { return t.dateMode == data::kHotkey; };
            break;
        case platform::DesktopFeature::MacroPlayback:
            need = [](const data::TaskRecord& t) { return !t.macro.empty(); };
            break;
        case platform::DesktopFeature::MonitorOff:
            need = EventIs(data::kEventMonitorOff);
            break;
        default:
            break;
        }
        const platform::FeatureAnswer answer = platform::AnswerFeature(f, feature);
        report.Line(platform::FeatureSubject(feature), answer.available, answer.reason, FeatureFix(answer, f),
                    need);
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

    Session(f, report);
    Features(f, report);
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
