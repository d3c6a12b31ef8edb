#include "tools/orvantactl/doctor.h"

#include <gtest/gtest.h>
#include <sstream>

namespace orvanta::ctl {
namespace {

// A desktop that offers everything the program can use.
platform::DesktopFacts FullDesktop() {
    platform::DesktopFacts f;
    f.programPath = "/usr/bin/orvanta";
    f.programFound = true;
    f.wakeAlarmPrivilege = true;
    f.wakeAlarmDetail = "/usr/bin/orvanta has cap_wake_alarm";
    f.rtcWakeAlarms = {"/sys/class/rtc/rtc0/wakealarm"};
    f.logindReachable = true;
    f.logindCan = {
        {"CanPowerOff", "yes"}, {"CanReboot", "yes"}, {"CanSuspend", "yes"}, {"CanHibernate", "yes"}};
    f.sessionType = "x11";
    f.xDisplay = true;
    f.displayName = ":0";
    f.xRecord = f.xTest = f.xScreenSaver = f.xDpms = true;
    f.trayXEmbed = true;
    f.sessionBus = f.notificationServer = true;
    return f;
}

data::TaskRecord Task(std::int64_t id, const std::string& title, std::int64_t dateMode, std::int64_t event,
                      int enabled = 1) {
    data::TaskRecord t;
    t.id = id;
    t.title = title;
    t.dateMode = dateMode;
    t.event = event;
    t.enabled = enabled;
    return t;
}

struct Outcome {
    int status;
    std::string text;
    // The line about one subject, without its status word.
    std::string status_of(const std::string& subject) const {
        std::istringstream lines(text);
        for (std::string line; std::getline(lines, line);)
            if (line.find(subject + ": ") == 8) return line.substr(0, line.find(' '));
        return "<no line>";
    }
    std::string line_of(const std::string& subject) const {
        std::istringstream lines(text);
        for (std::string line; std::getline(lines, line);)
            if (line.find(subject + ": ") == 8) return line;
        return "<no line>";
    }
};

Outcome Report(const platform::DesktopFacts& f, const std::vector<data::TaskRecord>& tasks,
               const std::string& autostart = "/usr/bin/orvanta") {
    std::ostringstream out;
    const int status = ReportDesktop(f, {autostart}, tasks, out);
    return {status, out.str()};
}

TEST(DoctorReport, AFullDesktopIsAllOkAndNothingIsAsked) {
    const Outcome o = Report(FullDesktop(), {Task(1, "wake", data::kDaily, data::kEventWakeAndRun)});
    EXPECT_EQ(o.status, 0);
    for (const char* subject :
         {"wake alarm privilege", "RTC wake alarm", "logind", "shut down", "hibernate", "session",
          "global hotkeys", "macro playback", "macro recording", "monitor off", "idle time", "tray host",
          "notification server", "start at log in"})
        EXPECT_EQ(o.status_of(subject), "ok") << subject << "\n" << o.text;
    EXPECT_EQ(o.text.find("fix:"), std::string::npos) << o.text;
}

// Something absent is a fault only when an enabled task needs it, and the report names those tasks.
TEST(DoctorReport, AnAbsentFeatureIsMissingOnlyForTheEnabledTasksThatNeedIt) {
    platform::DesktopFacts f = FullDesktop();
    f.wakeAlarmPrivilege = false;
    f.wakeAlarmDetail = "/usr/bin/orvanta lacks cap_wake_alarm, so its timers cannot wake the computer";
    f.logindCan["CanHibernate"] = "na";
    f.xDpms = false;

    const Outcome unused = Report(f, {Task(1, "plain", data::kDaily, data::kEventNone),
                                      Task(2, "asleep", data::kDaily, data::kEventWakeOnly, 0)});
    EXPECT_EQ(unused.status, 0) << unused.text;
    EXPECT_EQ(unused.status_of("wake alarm privilege"), "note");
    EXPECT_NE(
        unused.line_of("wake alarm privilege").find("fix: sudo setcap cap_wake_alarm+ep /usr/bin/orvanta"),
        std::string::npos)
        << unused.text;
    EXPECT_EQ(unused.status_of("hibernate"), "note");
    EXPECT_EQ(unused.status_of("monitor off"), "note");

    const Outcome needed = Report(f, {Task(3, "wake me", data::kDaily, data::kEventWakeAndRun),
                                      Task(4, "hib", data::kOnce, data::kEventHibernate),
                                      Task(5, "dark", data::kHotkey, data::kEventMonitorOff)});
    EXPECT_EQ(needed.status, 1);
    EXPECT_EQ(needed.status_of("wake alarm privilege"), "missing");
    EXPECT_NE(needed.line_of("wake alarm privilege").find("needed by task 3 \"wake me\""), std::string::npos);
    EXPECT_NE(needed.line_of("hibernate").find("does not offer it; needed by task 4 \"hib\""),
              std::string::npos)
        << needed.text;
    EXPECT_EQ(needed.status_of("monitor off"), "missing");
    EXPECT_EQ(needed.status_of("global hotkeys"), "ok") << "a hotkey task on X11 has its grabs";
}

TEST(DoctorReport, WaylandAndNoDisplayAreSaidAndHotkeyTasksMissThem) {
    platform::DesktopFacts wayland = FullDesktop();
    wayland.wayland = true;
    wayland.sessionType = "wayland";
    const std::vector<data::TaskRecord> tasks = {Task(7, "mail", data::kHotkey, data::kEventNone)};
    const Outcome o = Report(wayland, tasks);
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.status_of("global hotkeys"), "missing");
    EXPECT_NE(o.line_of("global hotkeys").find("Wayland"), std::string::npos);
    EXPECT_NE(o.line_of("session").find("through XWayland"), std::string::npos) << o.text;

    platform::DesktopFacts none;
    const Outcome bare = Report(none, tasks, "");
    EXPECT_EQ(bare.status, 1);
    EXPECT_NE(bare.line_of("global hotkeys").find("no X display"), std::string::npos);
    EXPECT_EQ(bare.status_of("logind"), "note") << "no power task needs it";
    EXPECT_EQ(bare.status_of("shut down"), "<no line>") << "no answers without logind";
    EXPECT_EQ(bare.status_of("start at log in"), "note");
}

// A Wayland session without XWayland is still a Wayland session, and the portals it offers are listed.
TEST(DoctorReport, AWaylandSessionListsItsPortalsAndWhatEachFeatureLacks) {
    platform::DesktopFacts f = FullDesktop();
    f.wayland = true;
    f.sessionType = "wayland";
    f.waylandDisplay = "wayland-0";
    f.xDisplay = false;
    f.trayStatusNotifier = true;
    const Outcome bare = Report(f, {Task(7, "typed", data::kDaily, data::kEventNone)});
    EXPECT_NE(bare.line_of("session").find("Wayland (XDG_SESSION_TYPE=wayland), Wayland display wayland-0"),
              std::string::npos)
        << bare.text;
    EXPECT_EQ(bare.line_of("session").find("X display"), std::string::npos) << bare.text;
    EXPECT_EQ(bare.status_of("desktop portals"), "note");
    EXPECT_NE(bare.line_of("desktop portals").find("GlobalShortcuts not offered, RemoteDesktop not offered"),
              std::string::npos)
        << bare.text;
    EXPECT_NE(bare.line_of("macro recording").find("only in an X11 session"), std::string::npos) << bare.text;
    EXPECT_NE(bare.line_of("macro playback").find("RemoteDesktop portal"), std::string::npos) << bare.text;
    EXPECT_EQ(bare.status_of("tray host"), "ok");

    f.globalShortcutsPortal = 1;
    f.remoteDesktopPortal = 2;
    f.portalRegistry = true;
    const Outcome portals = Report(f, {});
    EXPECT_EQ(portals.status_of("desktop portals"), "ok");
    EXPECT_NE(portals.line_of("desktop portals")
                  .find("GlobalShortcuts version 1, RemoteDesktop version 2, app ID "
                        "registry offered"),
              std::string::npos)
        << portals.text;

    const Outcome x11 = Report(FullDesktop(), {});
    EXPECT_EQ(x11.status_of("desktop portals"), "<no line>") << "X11 needs none";
}

TEST(DoctorReport, ManyTasksAreCountedAfterTheFirstThree) {
    platform::DesktopFacts f = FullDesktop();
    f.rtcWakeAlarms.clear();
    std::vector<data::TaskRecord> tasks;
    for (int id = 1; id <= 5; ++id)
        tasks.push_back(Task(id, "t" + std::to_string(id), data::kDaily, data::kEventWakeOnly));
    const Outcome o = Report(f, tasks);
    EXPECT_NE(
        o.line_of("RTC wake alarm").find("needed by task 1 \"t1\", task 2 \"t2\", task 3 \"t3\" and 2 more"),
        std::string::npos)
        << o.text;
}

} // namespace
} // namespace orvanta::ctl
