#include "platform/fake/fake_log.h"
#include "platform/linux/actions/linux_session_power.h"
#include "platform/linux/actions/x11_desktop.h"
#include "platform/linux/linux_power_status.h"
#include "tests/platform/scoped_env.h"
#include "tests/platform/test_environment.h"
#include "tests/platform_actions/bus_mock.h"

#include <X11/Xlib.h>
#include <X11/extensions/dpms.h>
#include <functional>
#include <gtest/gtest.h>
#include <unistd.h>

namespace orvanta::platform::linux_backend {
namespace {

using Calls = std::vector<test::BusMock::Arguments>;
using Result = RequestResult;

constexpr const char* kLogind = "org.freedesktop.login1";
constexpr const char* kManagerPath = "/org/freedesktop/login1";
constexpr const char* kSessionId = "ovt1";
constexpr const char* kSessionPath = "/org/freedesktop/login1/session/ovt1";

// Every case owns the shared mock logind for its run and starts from an empty call log. The mock has no
// GetSessionByPID, so our session is the one $XDG_SESSION_ID names.
class LogindRequests : public ::testing::Test {
  protected:
    test::ExclusiveLogindUse turn;
    test::ScopedEnv sessionId{"XDG_SESSION_ID", kSessionId};
    test::BusMock manager{kLogind, kManagerPath};
    test::BusMock session{kLogind, kSessionPath};
    fake::RecordingLog log;
    LinuxSessionPower power{log};

    void SetUp() override {
        ORVANTA_REQUIRE_RESOURCE(manager.present(), "no logind on the system bus");
        ASSERT_TRUE(manager.addSession(kSessionId, "seat0", getuid(), "tester"));
        ASSERT_TRUE(manager.clearCalls());
        ASSERT_TRUE(session.clearCalls());
    }

    Calls managerCalls(const std::string& method) {
        return manager.methodCalls(method).value_or(Calls{{"?"}});
    }
};

TEST_F(LogindRequests, ForcedPowerRequestsAreNonInteractiveManagerCalls) {
    EXPECT_EQ(power.powerOff(true), Result::done);
    EXPECT_EQ(power.reboot(true), Result::done);
    EXPECT_EQ(power.suspend(), Result::done);
    EXPECT_EQ(power.hibernate(), Result::done);
    EXPECT_EQ(managerCalls("PowerOff"), (Calls{{"false"}}));
    EXPECT_EQ(managerCalls("Reboot"), (Calls{{"false"}}));
    EXPECT_EQ(managerCalls("Suspend"), (Calls{{"false"}}));
    EXPECT_EQ(managerCalls("Hibernate"), (Calls{{"false"}}));
    EXPECT_EQ(log.lines(), std::vector<std::string>{}) << "a request that went through is not a warning";
}

TEST_F(LogindRequests, ARefusedRequestLeavesLogindsWordsInTheLog) {
    constexpr const char* kManager = "org.freedesktop.login1.Manager";
    ASSERT_TRUE(manager.addMethod(kManager, "Hibernate", "b",
                                  "raise dbus.exceptions.DBusException('Not allowed here', "
                                  "name='org.freedesktop.DBus.Error.AccessDenied')"));
    const Result result = power.hibernate();
    // The shared mock serves the other cases too.
    ASSERT_TRUE(manager.addMethod(kManager, "Hibernate", "b", ""));
    EXPECT_EQ(result, Result::refused);
    EXPECT_NE(log.find("logind refused Hibernate: org.freedesktop.DBus.Error.AccessDenied: Not allowed here"),
              "")
        << (log.lines().empty() ? "nothing logged" : log.lines().front());
}

TEST_F(LogindRequests, SleepStatesAreTheOnesLogindAllows) {
    auto answer = [&](const char* question, const char* text) {
        return manager.addMethod("org.freedesktop.login1.Manager", question, "",
                                 std::string("ret = \"") + text + "\"", "s");
    };
    struct Restore {
        std::function<bool(const char*, const char*)> answer;
        ~Restore() {
            answer("CanSuspend", "yes");
            answer("CanHibernate", "yes");
        }
    } restore{answer};
    const LinuxPowerStatus status;
    ASSERT_TRUE(answer("CanSuspend", "no"));
    ASSERT_TRUE(answer("CanHibernate", "challenge"));
    SleepStates states = status.allowedSleepStates();
    EXPECT_FALSE(states.suspend);
    EXPECT_TRUE(states.hibernate);
    ASSERT_TRUE(answer("CanSuspend", "yes"));
    ASSERT_TRUE(answer("CanHibernate", "na"));
    states = status.allowedSleepStates();
    EXPECT_TRUE(states.suspend);
    EXPECT_FALSE(states.hibernate);
}

TEST_F(LogindRequests, LockAndTerminateReachOurSession) {
    EXPECT_EQ(power.lockSession(), Result::done);
    EXPECT_EQ(session.methodCalls("Lock"), (Calls{{}}));
    EXPECT_EQ(power.terminateSession(), Result::done);
    EXPECT_EQ(managerCalls("TerminateSession"), (Calls{{kSessionId}}));
}

TEST_F(LogindRequests, WithoutASessionNothingIsLockedOrEnded) {
    test::ScopedEnv noSession("XDG_SESSION_ID", "");
    EXPECT_EQ(power.lockSession(), Result::unavailable);
    EXPECT_EQ(power.terminateSession(), Result::unavailable);
    EXPECT_EQ(managerCalls("TerminateSession"), Calls{});
    EXPECT_NE(log.find("could not be asked to Lock: logind knows no session of ours"), "");
}

TEST_F(LogindRequests, PoliteLogOffWithoutASessionManagerEndsTheSession) {
    EXPECT_EQ(power.logOffPolitely(), Result::done);
    EXPECT_EQ(managerCalls("TerminateSession"), (Calls{{kSessionId}}));
}

TEST_F(LogindRequests, PoliteLogOffAsksTheDesktopsSessionManager) {
    struct Desktop {
        const char* service;
        const char* path;
        const char* interface;
        const char* method;
        const char* signature;
        Calls expected;
    };
    const Desktop desktops[] = {
        {"org.gnome.SessionManager",
         "/org/gnome/SessionManager",
         "org.gnome.SessionManager",
         "Logout",
         "u",
         {{"1"}}},
        {"org.kde.ksmserver", "/KSMServer", "org.kde.KSMServerInterface", "logout", "iii", {{"0", "0", "0"}}},
        {"org.xfce.SessionManager",
         "/org/xfce/SessionManager",
         "org.xfce.Session.Manager",
         "Logout",
         "bb",
         {{"false", "true"}}},
    };
    for (const Desktop& desktop : desktops) {
        SCOPED_TRACE(desktop.service);
        test::SpawnedBusMock running(desktop.service, desktop.path, desktop.interface);
        ASSERT_TRUE(running.ready());
        test::BusMock sessionManager(desktop.service, desktop.path, test::BusMock::Bus::Session);
        ASSERT_TRUE(sessionManager.addMethod(desktop.interface, desktop.method, desktop.signature));

        EXPECT_EQ(power.logOffPolitely(), Result::done);
        EXPECT_EQ(sessionManager.methodCalls(desktop.method), desktop.expected);
        EXPECT_EQ(managerCalls("TerminateSession"), Calls{}) << "the session manager ends the session";
    }
}

// The quick-launch Shut Down and Restart: the user asked just now, so programs may save and polkit may ask.
TEST_F(LogindRequests, PoliteShutDownAndRestartWithoutASessionManagerLetPolkitAsk) {
    EXPECT_EQ(power.powerOff(false), Result::done);
    EXPECT_EQ(power.reboot(false), Result::done);
    EXPECT_EQ(managerCalls("PowerOff"), (Calls{{"true"}}));
    EXPECT_EQ(managerCalls("Reboot"), (Calls{{"true"}}));
}

TEST_F(LogindRequests, PoliteShutDownAndRestartGoThroughTheDesktopsSessionManager) {
    struct Desktop {
        const char* service;
        const char* path;
        const char* interface;
        const char* shutDown;
        const char* restart;
        const char* signature;
        Calls shutDownCalls;
        Calls restartCalls;
    };
    const Desktop desktops[] = {
        {"org.gnome.SessionManager",
         "/org/gnome/SessionManager",
         "org.gnome.SessionManager",
         "RequestShutdown",
         "RequestReboot",
         "",
         {{}},
         {{}}},
        {"org.kde.ksmserver",
         "/KSMServer",
         "org.kde.KSMServerInterface",
         "logout",
         "logout",
         "iii",
         {{"0", "2", "0"}},
         {{"0", "2", "0"}, {"0", "1", "0"}}},
        {"org.xfce.SessionManager",
         "/org/xfce/SessionManager",
         "org.xfce.Session.Manager",
         "Shutdown",
         "Restart",
         "b",
         {{"true"}},
         {{"true"}}},
    };
    for (const Desktop& desktop : desktops) {
        SCOPED_TRACE(desktop.service);
        test::SpawnedBusMock running(desktop.service, desktop.path, desktop.interface);
        ASSERT_TRUE(running.ready());
        test::BusMock sessionManager(desktop.service, desktop.path, test::BusMock::Bus::Session);
        ASSERT_TRUE(sessionManager.addMethod(desktop.interface, desktop.shutDown, desktop.signature));
        if (std::string(desktop.restart) != desktop.shutDown)
            ASSERT_TRUE(sessionManager.addMethod(desktop.interface, desktop.restart, desktop.signature));

        EXPECT_EQ(power.powerOff(false), Result::done);
        EXPECT_EQ(sessionManager.methodCalls(desktop.shutDown), desktop.shutDownCalls);
        EXPECT_EQ(power.reboot(false), Result::done);
        EXPECT_EQ(sessionManager.methodCalls(desktop.restart), desktop.restartCalls);
        EXPECT_EQ(managerCalls("PowerOff"), Calls{}) << "the session manager shuts down";
        EXPECT_EQ(managerCalls("Reboot"), Calls{});

        // The forced forms do not ask the desktop.
        EXPECT_EQ(power.powerOff(true), Result::done);
        EXPECT_EQ(managerCalls("PowerOff"), (Calls{{"false"}}));
        ASSERT_TRUE(manager.clearCalls());
    }
}

TEST_F(LogindRequests, ARefusingSessionManagerIsNotOverruled) {
    test::SpawnedBusMock running("org.gnome.SessionManager", "/org/gnome/SessionManager",
                                 "org.gnome.SessionManager");
    ASSERT_TRUE(running.ready());
    test::BusMock gnome("org.gnome.SessionManager", "/org/gnome/SessionManager", test::BusMock::Bus::Session);
    ASSERT_TRUE(gnome.addMethod("org.gnome.SessionManager", "Logout", "u",
                                "raise dbus.exceptions.DBusException('inhibited', "
                                "name='org.gnome.SessionManager.NotInRunning')"));
    EXPECT_EQ(power.logOffPolitely(), Result::refused);
    EXPECT_EQ(managerCalls("TerminateSession"), Calls{});
}

TEST(LinuxSessionPower, WithoutABusEveryRequestIsUnavailable) {
    test::ScopedEnv noSystemBus("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=/nonexistent/orvanta-test-bus");
    test::ScopedEnv noSessionBus("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/orvanta-test-bus");
    fake::RecordingLog log;
    LinuxSessionPower power(log, {std::chrono::milliseconds(500), {}});
    EXPECT_EQ(power.powerOff(true), Result::unavailable);
    EXPECT_EQ(power.lockSession(), Result::unavailable);
    EXPECT_EQ(power.logOffPolitely(), Result::unavailable);
    EXPECT_EQ(power.terminateSession(), Result::unavailable);
    EXPECT_NE(log.find("could not be asked to PowerOff: no system bus"), "");
    EXPECT_TRUE(power.enableShutdownPrivilege().problems.empty()) << "polkit decides; nothing to report";
}

// Whether the display has DPMS, asked independently of the code under test.
std::optional<bool> displayHasDpms() {
    Display* display = XOpenDisplay(nullptr);
    if (!display) return std::nullopt;
    int eventBase = 0;
    int errorBase = 0;
    const bool has = DPMSQueryExtension(display, &eventBase, &errorBase) && DPMSCapable(display);
    XCloseDisplay(display);
    return has;
}

TEST(X11Desktop, MonitorOffIsUnavailableWithoutDpmsOrDisplay) {
    const auto dpms = displayHasDpms();
    ORVANTA_REQUIRE_RESOURCE(dpms.has_value(), "no X display");
    if (*dpms) GTEST_SKIP() << "this display has DPMS; the test will not switch a real monitor off";
    fake::RecordingLog log;
    EXPECT_EQ(LinuxSessionPower(log).turnMonitorOff(), Result::unavailable);

    test::ScopedEnv noDisplay("DISPLAY", ":999");
    EXPECT_EQ(ForceMonitorOff(""), Result::unavailable);
}

} // namespace
} // namespace orvanta::platform::linux_backend
