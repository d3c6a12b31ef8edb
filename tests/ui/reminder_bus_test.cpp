#include "platform/linux/actions/bus_requests.h"
#include "platform/linux/linux_desktop_notifications.h"
#include "tests/platform/scoped_env.h"
#include "tests/support/private_desktop.h"
#include "tests/ui/named_controls.h"
#include "tests/ui/task_form_fixture.h"
#include "ui/desktop_notices.h"
#include "ui/reminder.h"

#include <QTest>
#include <systemd/sd-bus.h>

namespace orvanta::test {
namespace {

namespace lx = platform::linux_backend;
using namespace std::chrono_literals;

// The confirmation window with python3-dbusmock's notification server, which shows buttons, on a bus of
// the test's own, reached through the real backend.
class ReminderOnTheBus : public TaskFormTest {
  protected:
    PrivateBus bus;
    std::unique_ptr<ScopedEnv> busEnv;
    std::unique_ptr<SpawnedProcess> server;
    std::unique_ptr<lx::LinuxDesktopNotifications> backend;
    std::unique_ptr<ui::DesktopNotices> notices;
    scheduler::CloseAllowanceFlag closing;
    int rebuilds = 0;
    int lastDelay = 15;

    void SetUp() override {
        TaskFormTest::SetUp();
        ASSERT_FALSE(bus.address().empty()) << "dbus-daemon did not start";
        busEnv = std::make_unique<ScopedEnv>("DBUS_SESSION_BUS_ADDRESS", bus.address().c_str());
        server = std::make_unique<SpawnedProcess>(
            std::vector<std::string>{"/usr/bin/python3", "-m", "dbusmock", "--template",
                                     "notification_daemon", "-p", "{\"capabilities\": \"actions body\"}"},
            std::map<std::string, std::string>{{"DBUS_SESSION_BUS_ADDRESS", bus.address()}});
        const lx::SystemBus session = lx::OpenSessionBus(2s);
        for (int i = 0; i < 200 && !lx::NameHasOwner(session.get(), "org.freedesktop.Notifications"); ++i)
            std::this_thread::sleep_for(100ms);
        ASSERT_TRUE(lx::NameHasOwner(session.get(), "org.freedesktop.Notifications"));
        backend = std::make_unique<lx::LinuxDesktopNotifications>();
        notices = std::make_unique<ui::DesktopNotices>(*backend);
    }
    void TearDown() override {
        notices.reset();
        backend.reset();
    }

    std::unique_ptr<ui::TReminder> Ask(const std::string& taskId) {
        scheduler::ReminderRequest r;
        r.taskId = taskId;
        r.title = "Nightly";
        r.countdown = 60;
        r.launchMarker = "OpenEXE";
        r.program = "/bin/app";
        ui::ReminderPorts ports{
            *languages, clock,         store,     actions, closing, errors, [this] { ++rebuilds; },
            {},         notices.get(), &lastDelay};
        auto reminder = std::make_unique<ui::TReminder>(ports, r);
        reminder->show();
        return reminder;
    }
    // The id the server gave the last notification, read from the call it printed.
    std::string NotifiedWith(const std::string& action) {
        const std::string call = server->WaitForLine(" Notify ", 10s);
        EXPECT_NE(call.find(action), std::string::npos) << call;
        return call;
    }
    // The user presses a button of the notification: the server says so on the bus.
    void Press(platform::DesktopNotifications::Id id, const char* key) {
        const lx::SystemBus session = lx::OpenSessionBus(2s);
        sd_bus_error error = SD_BUS_ERROR_NULL;
        const int rc = sd_bus_call_method(
            session.get(), "org.freedesktop.Notifications", "/org/freedesktop/Notifications",
            "org.freedesktop.DBus.Mock", "EmitSignal", &error, nullptr, "sssav",
            "org.freedesktop.Notifications", "ActionInvoked", "us", 2, "u", id, "s", key);
        sd_bus_error_free(&error);
        ASSERT_GE(rc, 0);
    }
};

TEST_F(ReminderOnTheBus, RunFromTheNotificationRunsTheTaskOnceAndClosesTheWindow) {
    auto reminder = Ask("1");
    NotifiedWith("[\"run\", \"Immediately\", \"wait\", \"Wait for 15 mins\", \"pass\", \"Pass\"]");
    Press(1, "run");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !reminder->isVisible(); }, 5000));
    EXPECT_EQ(actions.log, std::vector<std::string>{"launch /bin/app|"});
    // A second press, however it comes, finds the question answered.
    Press(1, "run");
    Press(1, "wait");
    QTest::qWait(300);
    EXPECT_EQ(actions.log.size(), 1u);
    EXPECT_EQ(rebuilds, 0);
}

TEST_F(ReminderOnTheBus, PassAndWaitFromTheNotificationDoWhatTheButtonsDo) {
    auto passed = Ask("1");
    NotifiedWith("\"pass\", \"Pass\"");
    Press(1, "pass");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !passed->isVisible(); }, 5000));
    EXPECT_TRUE(actions.log.empty());

    data::TaskRecord t = Plain("Nightly");
    const std::string id = store.InsertTask(t);
    const std::size_t before = Stored().size();
    auto waiting = Ask(id);
    NotifiedWith("\"wait\", \"Wait for 15 mins\"");
    Press(2, "wait");
    Press(2, "wait");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !waiting->isVisible(); }, 5000));
    QTest::qWait(300);
    ASSERT_EQ(Stored().size(), before + 1);
    EXPECT_EQ(Stored().back().title, "Nightly - Delay for 15 mins");
    EXPECT_EQ(Stored().back().time, "9:15:00");
    EXPECT_EQ(rebuilds, 1);
    EXPECT_TRUE(actions.log.empty());
}

TEST_F(ReminderOnTheBus, AnswerInTheWindowWithdrawsTheNotification) {
    auto reminder = Ask("1");
    NotifiedWith("\"run\"");
    Click(*reminder, "Button2");
    EXPECT_NE(server->WaitForLine(" CloseNotification 1", 10s), "");
    Press(1, "run");
    QTest::qWait(300);
    EXPECT_TRUE(actions.log.empty());
}

} // namespace
} // namespace orvanta::test
