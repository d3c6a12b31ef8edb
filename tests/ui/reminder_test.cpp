#include "tests/ui/task_form_fixture.h"
#include "ui/reminder.h"

#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTest>

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
    EXPECT_TRUE(reminder->Timer1.isActive());
    EXPECT_EQ(reminder->lb2->text(), "2");
    reminder->Timer1Timer();
    EXPECT_EQ(reminder->lb2->text(), "1");
    EXPECT_TRUE(actions.log.empty());
    reminder->Timer1Timer();
    EXPECT_EQ(reminder->lb2->text(), "0");
    EXPECT_EQ(actions.log, std::vector<std::string>({"launch /bin/app | -x", "open /tmp/f.txt", "kill app",
                                                     "url http://u", "macro /tmp/m.mco"}));
    EXPECT_FALSE(reminder->isVisible());
    EXPECT_FALSE(reminder->Timer1.isActive());
}

TEST_F(ReminderTest, TheRealTimerCountsDown) {
    auto reminder = Remind(Programs("1", 1));
    reminder->Timer1.setInterval(10);
    reminder->Timer1.start();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !reminder->isVisible(); }, 2000));
    EXPECT_EQ(actions.log.size(), 5u);
}

TEST_F(ReminderTest, PowerWordsRunLastAndAllowTheClose) {
    scheduler::ReminderRequest r;
    r.taskId = "1";
    r.countdown = 30;
    r.actionWord = "ShutDown";
    auto reminder = Remind(r);
    reminder->Button1Click();
    EXPECT_EQ(actions.log, std::vector<std::string>({"shut down"}));
    EXPECT_EQ(closing.allowed, 1);
    r.actionWord = "Hibernate";
    Remind(r)->Button1Click();
    EXPECT_EQ(actions.log.back(), "hibernate");
    EXPECT_EQ(closing.allowed, 1);
}

TEST_F(ReminderTest, PassAndCloseRunNothing) {
    auto reminder = Remind(Programs("1", 5));
    reminder->Button2Click();
    EXPECT_FALSE(reminder->isVisible());
    auto closed = Remind(Programs("1", 5));
    closed->WaitalongClick();
    EXPECT_FALSE(closed->Timer1.isActive());
    EXPECT_FALSE(closed->lb2->isVisible());
    closed->close();
    EXPECT_TRUE(actions.log.empty());
    EXPECT_EQ(rebuilds, 0);
}

TEST_F(ReminderTest, WaitingThenImmediatelyRuns) {
    auto reminder = Remind(Programs("1", 5));
    reminder->WaitalongClick();
    EXPECT_EQ(reminder->lb1->text(), "Notice! The following scheduled task waiting for confirm!");
    reminder->Button1Click();
    EXPECT_EQ(actions.log.size(), 5u);
}

TEST_F(ReminderTest, AMacroThatCannotStartKeepsTheWindowOpen) {
    UnreadableMacroActions failing;
    scheduler::ReminderRequest r = Programs("1", 3);
    r.actionWord.clear();
    auto reminder = Remind(r, failing);
    reminder->Button1Click();
    EXPECT_TRUE(reminder->isVisible());
    EXPECT_EQ(failing.log.back(), "macro /tmp/m.mco");
    EXPECT_FALSE(reminder->Timer1.isActive());
}

TEST_F(ReminderTest, UntitledTaskShowsNoTitle) {
    scheduler::ReminderRequest r = Programs("1", 3);
    EXPECT_EQ(Remind(r)->Title->text(), "Task Title:  No title");
    r.title = "Backup";
    EXPECT_EQ(Remind(r)->Title->text(), "Task Title:  Backup");
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
    reminder->wait15->trigger();
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
    Remind(r)->wait10->trigger();
    EXPECT_EQ(Stored().back().title, "Nightly - Delay for 15 mins - Delay for 10 mins");
    EXPECT_EQ(Stored().back().time, "0:00:00");
    EXPECT_EQ(Stored().back().year, 2026);
}

TEST_F(ReminderTest, AnUntitledCopyCarriesOnlyTheSuffix) {
    data::TaskRecord t = Plain("");
    const std::string id = store.InsertTask(t);
    scheduler::ReminderRequest r = Programs(id, 3);
    Remind(r)->wait60->trigger();
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
    for (QPushButton* b : {reminder->Button1, reminder->Button2, reminder->Button3})
        EXPECT_FALSE(b->isDefault()) << b->objectName().toStdString();
    EXPECT_FALSE(qobject_cast<QPushButton*>(reminder->focusWidget()));
    for (int key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space})
        QTest::keyClick(reminder.get(), Qt::Key(key));
    EXPECT_TRUE(actions.log.empty());
    EXPECT_TRUE(reminder->isVisible());
    EXPECT_TRUE(reminder->Timer1.isActive());

    // A button the user chose answers Return.
    reminder->Button2->setFocus();
    QTest::keyClick(reminder->Button2, Qt::Key_Return);
    EXPECT_FALSE(reminder->isVisible());
    EXPECT_TRUE(actions.log.empty());
}

TEST_F(ReminderTest, TheCountDownHoldsAtOneWhileTheDelayMenuIsOpen) {
    auto reminder = Remind(Programs("1", 2));
    reminder->Button3Click();
    ASSERT_TRUE(reminder->PopupMenu1->isVisible());
    for (int i = 0; i < 5; ++i)
        reminder->Timer1Timer();
    EXPECT_EQ(reminder->lb2->text(), "1");
    EXPECT_TRUE(actions.log.empty());
    EXPECT_TRUE(reminder->isVisible());
    reminder->PopupMenu1->hide();
    reminder->Timer1Timer();
    EXPECT_EQ(actions.log.size(), 5u);
    EXPECT_FALSE(reminder->isVisible());
}

} // namespace
} // namespace orvanta::test
