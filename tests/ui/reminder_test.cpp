#include "platform/fake/fake_desktop_notifications.h"
#include "tests/ui/named_controls.h"
#include "tests/ui/task_form_fixture.h"
#include "ui/desktop_notices.h"
#include "ui/reminder.h"

#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <thread>

namespace orvanta::test {
namespace {

class CloseRecorder : public scheduler::CloseAllowance {
  public:
    int allowed = 0;
    void AllowClose() override { ++allowed; }
};

class UnreadableMacroActions : public RecordingActions {
  public:
    bool StartTaskMacro(const std::string& path) override {
        log.push_back("macro " + path);
        return false;
    }
};

QTimer* Timer(const ui::TReminder& reminder) {
    return Control<QTimer>(reminder, "Timer1");
}

// One second of the countdown, as the window's timer gives it.
void Tick(const ui::TReminder& reminder) {
    QMetaObject::invokeMethod(Timer(reminder), "timeout", Qt::DirectConnection);
}

class ReminderTest : public TaskFormTest {
  protected:
    CloseRecorder closing;
    int rebuilds = 0;

    ui::ReminderPorts Ports(scheduler::TaskActions& with) {
        return {*languages, clock, store, with, closing, errors, [this] { ++rebuilds; }, {}};
    }
    std::unique_ptr<ui::TReminder> Remind(scheduler::ReminderRequest request) {
        return Remind(request, actions);
    }
    std::unique_ptr<ui::TReminder> Remind(scheduler::ReminderRequest request, scheduler::TaskActions& with) {
        auto reminder = std::make_unique<ui::TReminder>(Ports(with), std::move(request));
        reminder->show();
        return reminder;
    }
    static scheduler::ReminderRequest Programs(const std::string& id, int countdown) {
        scheduler::ReminderRequest r;
        r.taskId = id;
        r.countdown = countdown;
        r.launchMarker = "OpenEXE";
        r.program = "/bin/app ";
        r.parameters = " -x";
        r.openFile = "/tmp/f.txt";
        r.terminate = "app";
        r.openUrl = "http://u";
        r.macro = "/tmp/m.mco";
        return r;
    }
};

TEST_F(ReminderTest, CountDownRunsTheActionsOnceInTheirOrder) {
    auto reminder = Remind(Programs("1", 2));
    EXPECT_TRUE(Timer(*reminder)->isActive());
    EXPECT_EQ(Control<QLabel>(*reminder, "lb2")->text(), "2");
    Tick(*reminder);
    EXPECT_EQ(Control<QLabel>(*reminder, "lb2")->text(), "1");
    EXPECT_TRUE(actions.log.empty());
    Tick(*reminder);
    EXPECT_EQ(Control<QLabel>(*reminder, "lb2")->text(), "0");
    EXPECT_EQ(actions.log, std::vector<std::string>({"launch /bin/app | -x", "open /tmp/f.txt", "kill app",
                                                     "url http://u", "macro /tmp/m.mco"}));
    EXPECT_FALSE(reminder->isVisible());
    EXPECT_FALSE(Timer(*reminder)->isActive());
}

TEST_F(ReminderTest, TheRealTimerCountsDown) {
    auto reminder = Remind(Programs("1", 1));
    Timer(*reminder)->setInterval(10);
    Timer(*reminder)->start();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !reminder->isVisible(); }, 2000));
    EXPECT_EQ(actions.log.size(), 5u);
}

TEST_F(ReminderTest, PowerWordsRunLastAndAllowTheClose) {
    scheduler::ReminderRequest r;
    r.taskId = "1";
    r.countdown = 30;
    r.actionWord = "ShutDown";
    auto reminder = Remind(r);
    Click(*reminder, "Button1");
    EXPECT_EQ(actions.log, std::vector<std::string>({"shut down"}));
    EXPECT_EQ(closing.allowed, 1);
    r.actionWord = "Hibernate";
    Click(*Remind(r), "Button1");
    EXPECT_EQ(actions.log.back(), "hibernate");
    EXPECT_EQ(closing.allowed, 1);
}

TEST_F(ReminderTest, PassAndCloseRunNothing) {
    auto reminder = Remind(Programs("1", 5));
    Click(*reminder, "Button2");
    EXPECT_FALSE(reminder->isVisible());
    auto closed = Remind(Programs("1", 5));
    Control<QAction>(*closed, "Waitalong")->trigger();
    EXPECT_FALSE(Timer(*closed)->isActive());
    EXPECT_FALSE(Control<QLabel>(*closed, "lb2")->isVisible());
    closed->close();
    EXPECT_TRUE(actions.log.empty());
    EXPECT_EQ(rebuilds, 0);
}

TEST_F(ReminderTest, WaitingThenImmediatelyRuns) {
    auto reminder = Remind(Programs("1", 5));
    Control<QAction>(*reminder, "Waitalong")->trigger();
    EXPECT_EQ(Control<QLabel>(*reminder, "lb1")->text(),
              "Notice! The following scheduled task waiting for confirm!");
    Click(*reminder, "Button1");
    EXPECT_EQ(actions.log.size(), 5u);
}

TEST_F(ReminderTest, AMacroThatCannotStartKeepsTheWindowOpen) {
    UnreadableMacroActions failing;
    scheduler::ReminderRequest r = Programs("1", 3);
    r.actionWord.clear();
    auto reminder = Remind(r, failing);
    Click(*reminder, "Button1");
    EXPECT_TRUE(reminder->isVisible());
    EXPECT_EQ(failing.log.back(), "macro /tmp/m.mco");
    EXPECT_FALSE(Timer(*reminder)->isActive());
    // Run again tries the macro again, and does not start the program or open the file a second time.
    Click(*reminder, "Button1");
    EXPECT_EQ(std::count(failing.log.begin(), failing.log.end(), "macro /tmp/m.mco"), 2);
    EXPECT_EQ(std::count_if(failing.log.begin(), failing.log.end(),
                            [](const std::string& line) { return line.starts_with("launch "); }),
              1);
    EXPECT_EQ(std::count(failing.log.begin(), failing.log.end(), "open /tmp/f.txt"), 1);
}

TEST_F(ReminderTest, UntitledTaskShowsNoTitle) {
    scheduler::ReminderRequest r = Programs("1", 3);
    EXPECT_EQ(Control<QLabel>(*Remind(r), "Title")->text(), "Task Title:  No title");
    r.title = "Backup";
    EXPECT_EQ(Control<QLabel>(*Remind(r), "Title")->text(), "Task Title:  Backup");
}

TEST_F(ReminderTest, ADelayWritesOneOnceCopyAcrossTheYearEnd) {
    data::TaskRecord t = Plain("Nightly");
    t.countdown = 30;
    t.event = data::kEventShutDown;
    const std::string id = store.InsertTask(t);
    const std::size_t before = Stored().size();
    clock.set({2025, 12, 31, 23, 50, 0, 0});
    scheduler::ReminderRequest r;
    r.taskId = id;
    r.title = "Nightly";
    r.countdown = 30;
    r.actionWord = "ShutDown";
    auto reminder = Remind(r);
    Control<QAction>(*reminder, "wait15")->trigger();
    EXPECT_FALSE(reminder->isVisible());
    EXPECT_TRUE(actions.log.empty());
    EXPECT_EQ(rebuilds, 1);
    const auto all = Stored();
    ASSERT_EQ(all.size(), before + 1);
    const data::TaskRecord copy = all.back();
    EXPECT_EQ(copy.title, "Nightly - Delay for 15 mins");
    EXPECT_EQ(copy.dateMode, data::kOnce);
    EXPECT_EQ(copy.year, 2026);
    EXPECT_EQ(copy.month, 1);
    EXPECT_EQ(copy.day, 1);
    EXPECT_EQ(copy.time, "0:05:00");
    EXPECT_EQ(copy.event, data::kEventShutDown);
    EXPECT_EQ(copy.countdown, 30);
    EXPECT_EQ(StoredTask(id).title, "Nightly");

    r.taskId = std::to_string(copy.id);
    r.title = copy.title;
    Control<QAction>(*Remind(r), "wait10")->trigger();
    EXPECT_EQ(Stored().back().title, "Nightly - Delay for 15 mins - Delay for 10 mins");
    EXPECT_EQ(Stored().back().time, "0:00:00");
    EXPECT_EQ(Stored().back().year, 2026);
}

TEST_F(ReminderTest, AnUntitledCopyCarriesOnlyTheSuffix) {
    data::TaskRecord t = Plain("");
    const std::string id = store.InsertTask(t);
    scheduler::ReminderRequest r = Programs(id, 3);
    Control<QAction>(*Remind(r), "wait60")->trigger();
    EXPECT_EQ(Stored().back().title, " - Delay for 1 hour");
    EXPECT_EQ(Stored().back().time, "10:00:00");
}

TEST_F(ReminderTest, ReturnRunsNothingUntilAButtonHasTheFocus) {
    scheduler::ReminderRequest r;
    r.taskId = "1";
    r.countdown = 30;
    r.actionWord = "ShutDown";
    auto reminder = Remind(r);
    reminder->activateWindow();
    QCoreApplication::processEvents();
    for (const char* name : {"Button1", "Button2", "Button3"}) {
        auto* b = Control<QPushButton>(*reminder, name);
        EXPECT_FALSE(b->isDefault()) << name;
    }
    EXPECT_FALSE(qobject_cast<QPushButton*>(reminder->focusWidget()));
    for (int key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space})
        QTest::keyClick(reminder.get(), Qt::Key(key));
    EXPECT_TRUE(actions.log.empty());
    EXPECT_TRUE(reminder->isVisible());
    EXPECT_TRUE(Timer(*reminder)->isActive());

    // A button the user chose answers Return.
    Control<QPushButton>(*reminder, "Button2")->setFocus();
    QTest::keyClick(Control<QPushButton>(*reminder, "Button2"), Qt::Key_Return);
    EXPECT_FALSE(reminder->isVisible());
    EXPECT_TRUE(actions.log.empty());
}

TEST_F(ReminderTest, TheCountDownHoldsAtOneWhileTheDelayMenuIsOpen) {
    auto reminder = Remind(Programs("1", 2));
    Click(*reminder, "Button3");
    ASSERT_TRUE(Control<QMenu>(*reminder, "PopupMenu1")->isVisible());
    for (int i = 0; i < 5; ++i)
        Tick(*reminder);
    EXPECT_EQ(Control<QLabel>(*reminder, "lb2")->text(), "1");
    EXPECT_TRUE(actions.log.empty());
    EXPECT_TRUE(reminder->isVisible());
    Control<QMenu>(*reminder, "PopupMenu1")->hide();
    Tick(*reminder);
    EXPECT_EQ(actions.log.size(), 5u);
    EXPECT_FALSE(reminder->isVisible());
}

// The same question on the desktop's notification server, which shows buttons.
class ReminderNotificationTest : public ReminderTest {
  protected:
    platform::fake::FakeDesktopNotifications server;
    std::unique_ptr<ui::DesktopNotices> notices;
    int lastDelay = 5;

    void SetUp() override {
        ReminderTest::SetUp();
        server.present = server.actions = true;
        notices = std::make_unique<ui::DesktopNotices>(server);
    }
    std::unique_ptr<ui::TReminder> Ask(scheduler::ReminderRequest request) {
        ui::ReminderPorts ports = Ports(actions);
        ports.notices = notices.get();
        ports.lastDelay = &lastDelay;
        auto reminder = std::make_unique<ui::TReminder>(ports, std::move(request));
        reminder->show();
        return reminder;
    }
    // The server's answer, as it arrives: on its own thread, then handed over to the window's.
    void Answer(platform::DesktopNotifications::Id id, const std::string& key) {
        std::thread([&] { server.invoke(id, key); }).join();
        QCoreApplication::processEvents();
    }
};

TEST_F(ReminderNotificationTest, TheNotificationAsksWithTheWindowsOwnWords) {
    scheduler::ReminderRequest r = Programs("1", 30);
    r.title = "Backup";
    lastDelay = 30;
    auto reminder = Ask(r);
    ASSERT_EQ(server.shown.size(), 1u);
    const platform::NotificationRequest& shown = server.shown[0];
    EXPECT_EQ(shown.appName, "Orvanta");
    EXPECT_EQ(shown.appIcon, "org.orvanta.Orvanta");
    EXPECT_EQ(shown.desktopEntry, "org.orvanta.Orvanta");
    EXPECT_EQ(shown.urgency, platform::NotificationUrgency::Critical);
    EXPECT_EQ(shown.body, "Task Title:  Backup");
    using Action = std::pair<std::string, std::string>;
    EXPECT_EQ(shown.actions,
              (std::vector<Action>{{"run", "Immediately"}, {"wait", "Wait for 30 mins"}, {"pass", "Pass"}}));
    EXPECT_EQ(shown.timeoutMilliseconds, 0);

    // A server that shows no buttons is not asked at all.
    server.actions = false;
    auto plain = Ask(r);
    EXPECT_EQ(server.shown.size(), 1u);
}

TEST_F(ReminderNotificationTest, TheFirstAnswerDecidesAndTheOtherIsIgnored) {
    auto reminder = Ask(Programs("1", 30));
    Answer(1, "run");
    EXPECT_EQ(actions.log.size(), 5u);
    EXPECT_FALSE(reminder->isVisible());
    // A second press of the button, or a late one, runs nothing more.
    Answer(1, "run");
    Answer(1, "pass");
    EXPECT_EQ(actions.log.size(), 5u);

    // Answered in the window, the notification is withdrawn and its buttons are dead.
    auto second = Ask(Programs("1", 30));
    Click(*second, "Button2");
    EXPECT_EQ(server.closedIds, (std::vector<platform::DesktopNotifications::Id>{1, 2}));
    Answer(2, "run");
    EXPECT_EQ(actions.log.size(), 5u);
}

TEST_F(ReminderNotificationTest, TheCountDownsEndWithdrawsTheNotification) {
    auto reminder = Ask(Programs("1", 1));
    ASSERT_EQ(server.shown.size(), 1u);
    EXPECT_TRUE(server.closedIds.empty());
    Tick(*reminder);
    EXPECT_EQ(actions.log.size(), 5u);
    EXPECT_EQ(server.closedIds, std::vector<platform::DesktopNotifications::Id>{1});
    Answer(1, "pass");
    EXPECT_EQ(actions.log.size(), 5u);
}

TEST_F(ReminderNotificationTest, WaitPostponesByTheDelayChosenLast) {
    data::TaskRecord t = Plain("Nightly");
    const std::string id = store.InsertTask(t);
    scheduler::ReminderRequest r = Programs(id, 30);
    r.title = "Nightly";
    // The window's own choice is remembered for the next question.
    Control<QAction>(*Ask(r), "wait60")->trigger();
    EXPECT_EQ(lastDelay, 60);
    EXPECT_EQ(Stored().back().time, "10:00:00");
    auto reminder = Ask(r);
    EXPECT_EQ(server.shown.back().actions[1].second, "Wait for 1 hour");
    const std::size_t before = Stored().size();
    Answer(platform::DesktopNotifications::Id(server.shown.size()), "wait");
    EXPECT_FALSE(reminder->isVisible());
    ASSERT_EQ(Stored().size(), before + 1);
    EXPECT_EQ(Stored().back().title, "Nightly - Delay for 1 hour");
    EXPECT_TRUE(actions.log.empty());
    EXPECT_EQ(rebuilds, 2);
}

} // namespace
} // namespace orvanta::test
