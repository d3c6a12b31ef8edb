#include "tests/ui/main_form_fixture.h"
#include "ui/macro_form_opener.h"
#include "ui/tray.h"

#include <QAction>
#include <QDialog>
#include <QTabWidget>
#include <QTest>
#include <map>
#include <thread>

namespace orvanta::test {
namespace {

namespace keys = data::settings_keys;
using platform::HandOverRequest;

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
    platform::fake::FakeSingleInstance taken{instance.handOverAddress(), true};
    form = std::make_unique<ui::TMainForm>(Ports(taken));
    EXPECT_TRUE(form->HandedOver());
    EXPECT_EQ(form->windowTitle(), "Orvanta_");
    EXPECT_EQ(taken.handOvers(), std::vector<HandOverRequest>{HandOverRequest::showWindow});
    // It left the running copy's database and timers alone.
    EXPECT_FALSE(std::filesystem::exists(store.path()));
    EXPECT_EQ(wakeTimers.createdCount("nowake2"), 0);
    form->ShowAtStart();
    EXPECT_FALSE(form->isVisible());
}

TEST_F(StartUp, ACopyThatCannotMakeSureItIsAloneSaysSoAndNeitherRunsNorHandsOver) {
    instance.failClaims("the lock folder is another user's");
    ui::MainFormPorts ports = Ports(instance);
    int busAsked = 0;
    ports.handOverOnBus = [&](bool) { return ++busAsked > 0; };
    form = std::make_unique<ui::TMainForm>(std::move(ports));
    EXPECT_EQ(form->StartRefusal(), "the lock folder is another user's");
    EXPECT_EQ(errors.errors, QStringList{"the lock folder is another user's"});
    // A copy that may not be alone must not disturb the other, by either way.
    EXPECT_TRUE(instance.handOvers().empty());
    EXPECT_EQ(busAsked, 0);
    EXPECT_FALSE(std::filesystem::exists(store.path()));
    EXPECT_EQ(wakeTimers.createdCount("nowake2"), 0);
    EXPECT_FALSE(form->timers().tmr302.isActive());
    form->ShowAtStart();
    EXPECT_FALSE(form->isVisible());
}

TEST_F(StartUp, TheQuitMessageBringsTheWindowBackFromTheTrayOnTheTaskList) {
    settings.writeText("tray", "tray", "1");
    Start();
    form->PageControl1()->setCurrentIndex(2);
    ASSERT_TRUE(instance.deliver(HandOverRequest::showWindow));
    EXPECT_TRUE(QTest::qWaitFor([&] { return form->isVisible(); }, 5000));
    EXPECT_EQ(form->PageControl1()->currentIndex(), 0);
    EXPECT_FALSE(form->CloseAllowed());
}

TEST_F(StartUp, TheNewTaskWordBringsTheWindowAndOpensTheEditorTheOldWordOnlyTheWindow) {
    settings.writeText("tray", "tray", "1");
    Start();
    form->PageControl1()->setCurrentIndex(2);
    ASSERT_TRUE(instance.deliver(HandOverRequest::newTask));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !editorOpenings.empty(); }, 5000));
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(form->PageControl1()->currentIndex(), 0);
    EXPECT_EQ(editorOpenings, std::vector<QString>{ui::TMainForm::kNewScheduledTask});

    // The window in use: the editor opens straight away, once per request.
    ASSERT_TRUE(instance.deliver(HandOverRequest::newTask));
    ASSERT_TRUE(QTest::qWaitFor([&] { return editorOpenings.size() == 2; }, 5000));
    ASSERT_TRUE(instance.deliver(HandOverRequest::showWindow));
    QTest::qWait(300);
    EXPECT_EQ(editorOpenings.size(), 2u);
}

// A second editor stacked on a window waiting for an answer would share its question box, and an answer
// meant for one would be taken for the other: the waiting window comes first.
TEST_F(StartUp, ANewTaskAskedForWhileAWindowAwaitsAnAnswerOpensNoSecondEditor) {
    Start();
    QDialog waiting(form.get());
    bool sent = false;
    std::size_t openedWhileWaiting = 99;
    QTimer::singleShot(0, &waiting, [&] {
        sent = instance.deliver(HandOverRequest::newTask);
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
    platform::fake::FakeSingleInstance taken{instance.handOverAddress(), true};
    ui::MainFormPorts ports = Ports(taken);
    ports.handOverNewTask = true;
    form = std::make_unique<ui::TMainForm>(std::move(ports));
    EXPECT_TRUE(form->HandedOver());
    EXPECT_EQ(taken.handOvers(), std::vector<HandOverRequest>{HandOverRequest::newTask});
    EXPECT_TRUE(editorOpenings.empty()) << "the copy that hands over opens nothing itself";
}

// The bus reaches the copy for this data folder; the instance's address is for when it does not, and
// never both, or a new task would open two editors.
TEST_F(StartUp, ASecondCopyAsksOverTheBusFirstAndAtTheAddressOnlyWhenTheBusHasNoCopy) {
    for (const bool onTheBus : {true, false}) {
        for (const bool newTask : {false, true}) {
            platform::fake::FakeSingleInstance taken{instance.handOverAddress(), true};
            ui::MainFormPorts ports = Ports(taken);
            ports.handOverNewTask = newTask;
            std::vector<bool> busAsked;
            ports.handOverOnBus = [&](bool forNewTask) {
                busAsked.push_back(forNewTask);
                return onTheBus;
            };
            form = std::make_unique<ui::TMainForm>(std::move(ports));
            EXPECT_TRUE(form->HandedOver());
            EXPECT_EQ(busAsked, std::vector<bool>{newTask});
            const std::vector<HandOverRequest> atTheAddress =
                onTheBus ? std::vector<HandOverRequest>{}
                         : std::vector<HandOverRequest>{newTask ? HandOverRequest::newTask
                                                                : HandOverRequest::showWindow};
            EXPECT_EQ(taken.handOvers(), atTheAddress)
                << "on the bus " << onTheBus << ", new task " << newTask;
            form.reset();
        }
    }
}

TEST_F(StartUp, OnlyTheRunningCopyListensAndStopsWhenItsWindowGoes) {
    platform::fake::FakeSingleInstance taken{instance.handOverAddress(), true};
    form = std::make_unique<ui::TMainForm>(Ports(taken));
    EXPECT_FALSE(taken.deliver(HandOverRequest::showWindow)) << "a copy that handed over listens";
    form.reset();
    Start();
    EXPECT_TRUE(instance.deliver(HandOverRequest::showWindow));
    form.reset();
    EXPECT_FALSE(instance.deliver(HandOverRequest::showWindow)) << "a window that went still listens";
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
