#include "tests/ui/main_form_fixture.h"
#include "ui/instance_channel.h"
#include "ui/macro_form_opener.h"
#include "ui/tray.h"

#include <QAction>
#include <QDialog>
#include <QLocalSocket>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>
#include <map>
#include <thread>

namespace orvanta::test {
namespace {

namespace keys = data::settings_keys;

class StartUp : public MainFormTest {};

TEST_F(StartUp, SeedsTheDatabaseWritesTheLanguageFolderAndChecksTheRunEntry) {
    registry.writeString(platform::kRunKeyPath, "Orvanta", binFolder + "/orvanta");
    Start();
    EXPECT_EQ(store.ReadHotkeyTasks().rowCount(), 7u);
    EXPECT_EQ(registry.readString(platform::kLangManagerKeyPath, "Orvanta"), binFolder);
    EXPECT_TRUE(form->menus().RunatWin1->isChecked());
    EXPECT_FALSE(form->HandedOver());
    EXPECT_EQ(form->windowTitle(), "Orvanta");
    EXPECT_EQ(form->tray().hint(), "Upcoming event: None");
    EXPECT_TRUE(errors.errors.isEmpty());
}

TEST_F(StartUp, ARunEntryDifferingInLetterCaseIsNotThisProgram) {
    registry.writeString(platform::kRunKeyPath, "Orvanta", binFolder + "/Orvanta");
    Start();
    EXPECT_FALSE(form->menus().RunatWin1->isChecked());
}

TEST_F(StartUp, StartingInTheTrayShowsNoWindowAndExitEndsWithoutAQuestion) {
    settings.writeText("tray", "tray", "1");
    Start();
    EXPECT_TRUE(form->StartsHidden());
    form->ShowAtStart();
    EXPECT_FALSE(form->isVisible());
    QuestionAnswerer answerer(*form, 1);
    form->menus().Exit2->trigger();
    EXPECT_EQ(quits, 1);
    EXPECT_TRUE(answerer.questions.isEmpty());
}

TEST_F(StartUp, WithoutANotificationAreaTheWindowShowsAndSaysSo) {
    settings.writeText("tray", "tray", "1");
    trayHosts.set({});
    Start();
    EXPECT_FALSE(form->StartsHidden());
    form->ShowAtStart();
    EXPECT_TRUE(form->isVisible());
    EXPECT_TRUE(form->statusLine().contains("notification area"));
    form->showMinimized(); // stays reachable in the task bar
    QCoreApplication::processEvents();
    EXPECT_TRUE(form->isVisible());
    EXPECT_FALSE(form->CloseAllowed());
}

TEST_F(StartUp, ASecondCopyHandsOverToTheRunningOneAndEnds) {
    ui::InstanceChannel running;
    ASSERT_TRUE(running.Listen(QString::fromStdString(instance.handOverAddress())));
    QSignalSpy called(&running, &ui::InstanceChannel::quitMessageReceived);
    platform::fake::FakeSingleInstance taken{instance.handOverAddress(), true};
    form = std::make_unique<ui::TMainForm>(Ports(taken));
    EXPECT_TRUE(form->HandedOver());
    EXPECT_EQ(form->windowTitle(), "Orvanta_");
    EXPECT_TRUE(called.wait(5000));
    // It left the running copy's database and timers alone.
    EXPECT_FALSE(std::filesystem::exists(store.path()));
    EXPECT_EQ(wakeTimers.createdCount("nowake2"), 0);
    form->ShowAtStart();
    EXPECT_FALSE(form->isVisible());
}

TEST_F(StartUp, ACopyThatCannotMakeSureItIsAloneSaysSoAndNeitherRunsNorHandsOver) {
    ui::InstanceChannel running;
    ASSERT_TRUE(running.Listen(QString::fromStdString(instance.handOverAddress())));
    QSignalSpy called(&running, &ui::InstanceChannel::quitMessageReceived);
    instance.failClaims("the lock folder is another user's");
    form = std::make_unique<ui::TMainForm>(Ports(instance));
    EXPECT_EQ(form->StartRefusal(), "the lock folder is another user's");
    EXPECT_EQ(errors.errors, QStringList{"the lock folder is another user's"});
    EXPECT_FALSE(called.wait(300)) << "a copy that may not be alone must not disturb the other";
    EXPECT_FALSE(std::filesystem::exists(store.path()));
    EXPECT_EQ(wakeTimers.createdCount("nowake2"), 0);
    EXPECT_FALSE(form->timers().tmr302.isActive());
    form->ShowAtStart();
    EXPECT_FALSE(form->isVisible());
}

TEST(InstanceChannel, PeersThatSayNothingAreDroppedAndTheNextCopyIsStillHeard) {
    TempFolder runtime;
    const QString address = QString::fromStdString(runtime.file("channel"));
    ui::InstanceChannel running;
    ASSERT_TRUE(running.Listen(address));
    QSignalSpy called(&running, &ui::InstanceChannel::quitMessageReceived);
    std::vector<std::unique_ptr<QLocalSocket>> silent;
    for (int i = 0; i < 40; ++i) {
        silent.push_back(std::make_unique<QLocalSocket>());
        silent.back()->connectToServer(address);
        ASSERT_TRUE(silent.back()->waitForConnected(2000));
    }
    // A peer that started its line but never ended it is no better.
    silent.front()->write("Quit");
    auto connected = [&] {
        return std::count_if(silent.begin(), silent.end(),
                             [](const auto& s) { return s->state() == QLocalSocket::ConnectedState; });
    };
    EXPECT_TRUE(QTest::qWaitFor([&] { return connected() == 0; }, 3000)) << connected() << " still held";
    EXPECT_EQ(called.count(), 0);
    EXPECT_TRUE(ui::SendQuitMessage(address));
    EXPECT_TRUE(called.wait(2000));
}

TEST(InstanceChannel, EachWordRaisesOnlyItsOwnSignalAndOtherLinesNone) {
    TempFolder runtime;
    const QString address = QString::fromStdString(runtime.file("channel"));
    ui::InstanceChannel running;
    ASSERT_TRUE(running.Listen(address));
    QSignalSpy quit(&running, &ui::InstanceChannel::quitMessageReceived);
    QSignalSpy newTask(&running, &ui::InstanceChannel::newTaskRequested);
    for (const char* other : {"NewTaskMessageX", "newtaskmessage", "NewTask", ""})
        EXPECT_TRUE(ui::SendHandOver(address, other)) << other;
    EXPECT_TRUE(ui::SendHandOver(address, ui::kNewTaskMessage));
    EXPECT_TRUE(newTask.wait(2000));
    EXPECT_TRUE(ui::SendHandOver(address, ui::kQuitMessage));
    EXPECT_TRUE(quit.wait(2000));
    QTest::qWait(200);
    EXPECT_EQ(newTask.count(), 1);
    EXPECT_EQ(quit.count(), 1);
}

TEST_F(StartUp, TheQuitMessageBringsTheWindowBackFromTheTrayOnTheTaskList) {
    settings.writeText("tray", "tray", "1");
    Start();
    form->PageControl1()->setCurrentIndex(2);
    ASSERT_TRUE(ui::SendQuitMessage(QString::fromStdString(instance.handOverAddress())));
    EXPECT_TRUE(QTest::qWaitFor([&] { return form->isVisible(); }, 5000));
    EXPECT_EQ(form->PageControl1()->currentIndex(), 0);
    EXPECT_FALSE(form->CloseAllowed());
}

TEST_F(StartUp, TheNewTaskWordBringsTheWindowAndOpensTheEditorTheOldWordOnlyTheWindow) {
    settings.writeText("tray", "tray", "1");
    Start();
    form->PageControl1()->setCurrentIndex(2);
    const QString address = QString::fromStdString(instance.handOverAddress());
    ASSERT_TRUE(ui::SendHandOver(address, ui::kNewTaskMessage));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !editorOpenings.empty(); }, 5000));
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(form->PageControl1()->currentIndex(), 0);
    EXPECT_EQ(editorOpenings, std::vector<QString>{ui::TMainForm::kNewScheduledTask});

    // The window in use: the editor opens straight away, once per request.
    ASSERT_TRUE(ui::SendHandOver(address, ui::kNewTaskMessage));
    ASSERT_TRUE(QTest::qWaitFor([&] { return editorOpenings.size() == 2; }, 5000));
    ASSERT_TRUE(ui::SendQuitMessage(address));
    QTest::qWait(300);
    EXPECT_EQ(editorOpenings.size(), 2u);
}

// A second editor stacked on a window waiting for an answer would share its question box, and an answer
// meant for one would be taken for the other: the waiting window comes first.
TEST_F(StartUp, ANewTaskAskedForWhileAWindowAwaitsAnAnswerOpensNoSecondEditor) {
    Start();
    const QString address = QString::fromStdString(instance.handOverAddress());
    QDialog waiting(form.get());
    bool sent = false;
    std::size_t openedWhileWaiting = 99;
    QTimer::singleShot(0, &waiting, [&] {
        sent = ui::SendHandOver(address, ui::kNewTaskMessage);
        QTest::qWait(500);
        openedWhileWaiting = editorOpenings.size();
        waiting.reject();
    });
    waiting.exec();
    QTest::qWait(300);
    ASSERT_TRUE(sent);
    EXPECT_EQ(openedWhileWaiting, 0u);
    EXPECT_TRUE(editorOpenings.empty()) << "the request was kept and acted on behind the user's back";
}

TEST_F(StartUp, ASecondCopyAskedForANewTaskHandsThatWordOver) {
    ui::InstanceChannel running;
    ASSERT_TRUE(running.Listen(QString::fromStdString(instance.handOverAddress())));
    QSignalSpy newTask(&running, &ui::InstanceChannel::newTaskRequested);
    QSignalSpy quit(&running, &ui::InstanceChannel::quitMessageReceived);
    platform::fake::FakeSingleInstance taken{instance.handOverAddress(), true};
    ui::MainFormPorts ports = Ports(taken);
    ports.handOverNewTask = true;
    form = std::make_unique<ui::TMainForm>(std::move(ports));
    EXPECT_TRUE(form->HandedOver());
    EXPECT_TRUE(newTask.wait(5000));
    EXPECT_EQ(quit.count(), 0);
    EXPECT_TRUE(editorOpenings.empty()) << "the copy that hands over opens nothing itself";
}

TEST_F(StartUp, TheFirstShowingOffersThePowerOnTestOnce) {
    settings.writeText("Option", "mfirst", "1");
    Start();
    QuestionAnswerer ok(*form, 1);
    form->show();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !ok.questions.isEmpty(); }, 5000));
    EXPECT_TRUE(ok.questions[0].startsWith("To test the power-on capabilities"));
    EXPECT_EQ(actions.log, std::vector<std::string>{"hibernate"});
    EXPECT_FALSE(settings.read(keys::kFirstRun));
    EXPECT_TRUE(wakeTimers.timer("waketest")->armed());
}

class ClosingTheWindow : public MainFormTest {
  protected:
    void SetUp() override {
        Start();
        form->show();
    }
};

TEST_F(ClosingTheWindow, OkToTheQuestionMinimizesIntoTheTray) {
    QuestionAnswerer ok(*form, 1);
    form->close();
    EXPECT_EQ(ok.questions,
              QStringList{"Quit this program all functions will be disabled!\nMinimize to system tray?"});
    EXPECT_EQ(ok.captions, (QStringList{"Minimize", "Quit"}));
    EXPECT_EQ(quits, 0);
    EXPECT_TRUE(form->CloseAllowed());
    EXPECT_TRUE(form->timers().clearmm.isActive());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !form->isVisible(); }, 2000));
    form->clearmmTimer();
    EXPECT_EQ(memoryTrim.trims, 1);

    form->TrayDoubleClick();
    EXPECT_TRUE(form->isVisible());
    EXPECT_FALSE(form->CloseAllowed());
}

TEST_F(ClosingTheWindow, NoToTheQuestionEndsTheProgram) {
    QuestionAnswerer no(*form, 2);
    form->close();
    EXPECT_EQ(quits, 1);
}

TEST_F(ClosingTheWindow, WithTheQuestionDisabledItMinimizesWithoutAsking) {
    settings.write(keys::kDisableCloseQuestion, true);
    QuestionAnswerer answerer(*form, 2);
    form->close();
    EXPECT_TRUE(answerer.questions.isEmpty());
    EXPECT_EQ(quits, 0);
    EXPECT_TRUE(form->CloseAllowed());
}

TEST_F(ClosingTheWindow, OnceAllowedACloseEndsTheProgramWithoutAsking) {
    QuestionAnswerer answerer(*form, 1);
    cores.back()->closeAllowance.AllowClose(); // as the scheduler does before a shut down
    form->close();
    EXPECT_EQ(quits, 1);
    EXPECT_TRUE(answerer.questions.isEmpty());
}

TEST_F(ClosingTheWindow, QuickLaunchShutDownAllowsTheCloseButLogOffMeetsTheQuestion) {
    form->menus().Logoff2->trigger();
    EXPECT_FALSE(form->CloseAllowed());
    form->menus().Shutoff1->trigger();
    EXPECT_TRUE(form->CloseAllowed());
    EXPECT_EQ(sessionPower.calls(), (std::vector<std::string>{"enableShutdownPrivilege", "logOffPolitely",
                                                              "enableShutdownPrivilege", "powerOff"}));
}

TEST_F(ClosingTheWindow, AWindowBroughtBackAfterARecordingAsksBeforeItEnds) {
    // The recorder gets the desktop to itself and gives it back when it stops.
    ui::MinimizeApplication();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !form->isVisible(); }, 2000));
    ui::RestoreApplication();
    ASSERT_TRUE(form->isVisible());
    QuestionAnswerer ok(*form, 1);
    form->close();
    EXPECT_EQ(ok.questions.size(), 1);
    EXPECT_EQ(quits, 0);
}

TEST_F(ClosingTheWindow, AWindowRestoredWithoutATrayAsksBeforeItEnds) {
    form.reset();
    trayHosts.set({});
    Start();
    form->show();
    cores.back()->closeAllowance.AllowClose(); // a shut down that the system then refused
    form->showMinimized();
    form->showNormal();
    QuestionAnswerer ok(*form, 1);
    form->close();
    EXPECT_EQ(ok.questions.size(), 1);
    EXPECT_EQ(quits, 0);
}

// The buttons of the close question in each shipped language: what the one that keeps the program running
// and the one that ends it say there.
class ClosingInEveryLanguage : public MainFormTest {
  protected:
    void SetUp() override {
        CopyShippedLanguages();
        Start();
    }
    const std::map<std::string, QStringList> meanings{{"English", {"Minimize", "Quit"}},
                                                      {"Deutsch", {"Minimieren", "Beenden"}}};
};

TEST_F(ClosingInEveryLanguage, TheButtonsSayWhatTheyDo) {
    const auto& items = languages->Items();
    ASSERT_GE(items.size(), 2u);
    for (std::size_t i = 0; i < items.size(); ++i) {
        const std::string& name = items[i].Name;
        ASSERT_TRUE(meanings.count(name)) << name << " ships without a checked close question";
        languages->SetLanguage(static_cast<int>(i));
        form->ShowFromTray(0);
        {
            QuestionAnswerer keep(*form, 1);
            form->close();
            EXPECT_EQ(keep.captions, meanings.at(name)) << name;
            EXPECT_EQ(quits, 0) << name;
        }
        form->ShowFromTray(0);
        QuestionAnswerer end(*form, 2);
        form->close();
        EXPECT_EQ(quits, 1) << name;
        quits = 0;
    }
}

class MainTimers : public MainFormTest {};

TEST_F(MainTimers, ADueTaskRunsThroughTheHandOverTimerAlsoWhenItsWaiterFiresFromItsThread) {
    AddTask("marker", "9:05:00", data::kOnce);
    Start();
    ASSERT_TRUE(wakeTimers.timer("nowake2")->armed());
    clock.set({2025, 3, 7, 9, 5, 0, 200});
    std::thread waiter([&] { wakeTimers.timer("nowake2")->fire(); });
    waiter.join();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !actions.log.empty(); }, 5000));
    EXPECT_EQ(actions.log, std::vector<std::string>{"launch /bin/marker"});
    EXPECT_EQ(ListRows()[0][scheduler::kDispStatus], "Passed");
    EXPECT_TRUE(form->timers().tmr302.isActive());
}

TEST_F(MainTimers, ThePollWarnsOnceWhenTheMainsAreLost) {
    trayHosts.set({}); // the warning goes to the status line instead of a balloon
    Start();
    power.setAcLineStatus(platform::AcLineStatus::Offline);
    form->tmr302Timer();
    const QString warning = form->statusLine();
    EXPECT_TRUE(warning.startsWith("Warning: The AC power supply is unplugged"));
}

TEST_F(MainTimers, AnAutomaticResumeKeepsTheComputerAwakeAndMayLockIt) {
    settings.writeText("Option", "run", "1");
    Start();
    ASSERT_TRUE(resumeMonitor.running());
    std::thread monitor([&] { resumeMonitor.resume(true); });
    monitor.join();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !actions.log.empty(); }, 5000));
    EXPECT_EQ(keepAwake.calls(), (std::vector<std::string>{"wakeDisplay", "holdSystemAwake"}));
    EXPECT_EQ(actions.log, std::vector<std::string>{"lock"});
}

} // namespace
} // namespace orvanta::test
