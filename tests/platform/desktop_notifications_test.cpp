#include "platform/linux/actions/bus_requests.h"
#include "platform/linux/linux_desktop_notifications.h"
#include "tests/platform/scoped_env.h"
#include "tests/support/private_desktop.h"

#include <gtest/gtest.h>
#include <mutex>
#include <systemd/sd-bus.h>

namespace orvanta::test {
namespace {

namespace lx = platform::linux_backend;
using namespace std::chrono_literals;
using Id = platform::DesktopNotifications::Id;

// python3-dbusmock's notification server on a bus of the test's own; it prints every call it takes.
class DesktopNotificationsTest : public testing::Test {
  protected:
    PrivateBus bus;
    std::unique_ptr<ScopedEnv> busEnv;
    std::unique_ptr<SpawnedProcess> server;
    std::mutex mutex;
    std::vector<std::pair<Id, std::string>> answers;
    std::vector<Id> closings;

    void SetUp() override {
        ASSERT_FALSE(bus.address().empty()) << "dbus-daemon did not start";
        busEnv = std::make_unique<ScopedEnv>("DBUS_SESSION_BUS_ADDRESS", bus.address().c_str());
    }
    void StartServer(const std::string& capabilities) {
        server = std::make_unique<SpawnedProcess>(
            std::vector<std::string>{"/usr/bin/python3", "-m", "dbusmock", "--template",
                                     "notification_daemon", "-p",
                                     "{\"capabilities\": \"" + capabilities + "\"}"},
            std::map<std::string, std::string>{{"DBUS_SESSION_BUS_ADDRESS", bus.address()}});
        const lx::SystemBus session = lx::OpenSessionBus(2s);
        for (int i = 0; i < 200 && !lx::NameHasOwner(session.get(), "org.freedesktop.Notifications"); ++i)
            std::this_thread::sleep_for(100ms);
        ASSERT_TRUE(lx::NameHasOwner(session.get(), "org.freedesktop.Notifications"));
    }
    void Listen(lx::LinuxDesktopNotifications& n) {
        n.setEvents({[this](Id id, const std::string& key) {
                         std::lock_guard lock(mutex);
                         answers.emplace_back(id, key);
                     },
                     [this](Id id) {
                         std::lock_guard lock(mutex);
                         closings.push_back(id);
                     }});
    }
    // Has the mock server send one of its signals, as it does when the user acts on a notification.
    void Emit(const char* signal, Id id, const char* key = nullptr) {
        const lx::SystemBus session = lx::OpenSessionBus(2s);
        sd_bus_error error = SD_BUS_ERROR_NULL;
        const int rc =
            key ? sd_bus_call_method(session.get(), "org.freedesktop.Notifications",
                                     "/org/freedesktop/Notifications", "org.freedesktop.DBus.Mock",
                                     "EmitSignal", &error, nullptr, "sssav", "org.freedesktop.Notifications",
                                     signal, "us", 2, "u", id, "s", key)
                : sd_bus_call_method(session.get(), "org.freedesktop.Notifications",
                                     "/org/freedesktop/Notifications", "org.freedesktop.DBus.Mock",
                                     "EmitSignal", &error, nullptr, "sssav", "org.freedesktop.Notifications",
                                     signal, "uu", 2, "u", id, "u", 2U);
        sd_bus_error_free(&error);
        ASSERT_GE(rc, 0) << signal;
    }
    template <typename Condition> bool WaitFor(Condition condition) {
        for (int i = 0; i < 500; ++i) {
            {
                std::lock_guard lock(mutex);
                if (condition()) return true;
            }
            std::this_thread::sleep_for(10ms);
        }
        return false;
    }
    static platform::NotificationRequest Confirmation() {
        platform::NotificationRequest r;
        r.appName = "Orvanta";
        r.appIcon = "org.orvanta.Orvanta";
        r.desktopEntry = "org.orvanta.Orvanta";
        r.summary = "Waiting for confirm";
        r.body = "Task Title:  Backup";
        r.urgency = platform::NotificationUrgency::Critical;
        r.actions = {{"run", "Immediately"}, {"pass", "Pass"}};
        r.timeoutMilliseconds = 0;
        return r;
    }
};

TEST_F(DesktopNotificationsTest, WithoutAServerNothingIsSentAndNothingWaits) {
    lx::LinuxDesktopNotifications n;
    EXPECT_FALSE(n.serverPresent());
    EXPECT_FALSE(n.supportsActions());
    const auto before = std::chrono::steady_clock::now();
    EXPECT_EQ(n.notify(Confirmation()), 0u);
    EXPECT_LT(std::chrono::steady_clock::now() - before, 1s);
}

TEST_F(DesktopNotificationsTest, TheNotificationArrivesWithTheProgramsNameHintsAndActions) {
    StartServer("actions body");
    lx::LinuxDesktopNotifications n;
    EXPECT_TRUE(n.serverPresent());
    EXPECT_TRUE(n.supportsActions());
    const Id id = n.notify(Confirmation());
    EXPECT_NE(id, 0u);
    const std::string call = server->WaitForLine(" Notify ", 10s);
    EXPECT_NE(
        call.find(" Notify \"Orvanta\" 0 \"org.orvanta.Orvanta\" \"Waiting for confirm\" \"Task Title:  "
                  "Backup\" [\"run\", \"Immediately\", \"pass\", \"Pass\"] "),
        std::string::npos)
        << call;
    EXPECT_NE(call.find("\"desktop-entry\": \"org.orvanta.Orvanta\""), std::string::npos) << call;
    EXPECT_NE(call.find("\"urgency\": 2"), std::string::npos) << call;
    EXPECT_EQ(call.substr(call.size() - 2), " 0") << call;

    n.close(id);
    EXPECT_NE(server->WaitForLine(" CloseNotification " + std::to_string(id), 10s), "");
}

// A task's title is plain text: a server that reads markup gets it escaped, one that does not gets it
// as it is.
TEST_F(DesktopNotificationsTest, ATitleWithMarkupCharactersArrivesAsTheUserWroteIt) {
    for (const auto& [capabilities, expected] :
         {std::pair<std::string, std::string>{"actions body body-markup", "\"Tom &amp; Jerry &lt;b&gt;\""},
          std::pair<std::string, std::string>{"actions body", "\"Tom & Jerry <b>\""}}) {
        server.reset();
        const lx::SystemBus session = lx::OpenSessionBus(2s);
        for (int i = 0; i < 100 && lx::NameHasOwner(session.get(), "org.freedesktop.Notifications"); ++i)
            std::this_thread::sleep_for(50ms);
        StartServer(capabilities);
        lx::LinuxDesktopNotifications n;
        platform::NotificationRequest r = Confirmation();
        r.body = "Tom & Jerry <b>";
        EXPECT_NE(n.notify(r), 0u);
        const std::string call = server->WaitForLine(" Notify ", 10s);
        EXPECT_NE(call.find(" \"Waiting for confirm\" " + expected + " "), std::string::npos)
            << capabilities << ": " << call;
    }
}

TEST_F(DesktopNotificationsTest, TheServersAnswersReachTheListener) {
    StartServer("actions body");
    lx::LinuxDesktopNotifications n;
    Listen(n);
    const Id id = n.notify(Confirmation());
    ASSERT_NE(id, 0u);
    Emit("ActionInvoked", id, "pass");
    EXPECT_TRUE(WaitFor([&] { return answers.size() == 1; }));
    Emit("NotificationClosed", id);
    EXPECT_TRUE(WaitFor([&] { return closings.size() == 1; }));
    std::lock_guard lock(mutex);
    EXPECT_EQ(answers, (std::vector<std::pair<Id, std::string>>{{id, "pass"}}));
    EXPECT_EQ(closings, std::vector<Id>{id});
}

TEST_F(DesktopNotificationsTest, AServerWithoutButtonsIsToldApartAndOneThatComesLaterIsFound) {
    lx::LinuxDesktopNotifications n;
    EXPECT_FALSE(n.serverPresent());
    StartServer("body");
    for (int i = 0; i < 200 && !n.serverPresent(); ++i)
        std::this_thread::sleep_for(20ms);
    EXPECT_TRUE(n.serverPresent());
    EXPECT_FALSE(n.supportsActions());
    server.reset();
    for (int i = 0; i < 200 && n.serverPresent(); ++i)
        std::this_thread::sleep_for(20ms);
    EXPECT_FALSE(n.serverPresent());
}

} // namespace
} // namespace orvanta::test
