#include "tests/e2e/program_run.h"
#include "tests/platform/scoped_env.h"
#include "tests/support/private_desktop.h"

#include <gtest/gtest.h>

namespace orvanta::test {
namespace {

using namespace std::chrono_literals;

// The real program on a desktop of the test's own (an X display and a session bus) that has no panel
// when the program starts; the test brings one in later, as a session does whose panel starts last.
class LatePanel : public ::testing::Test {
  protected:
    PrivateDisplay display;
    PrivateBus bus;
    std::unique_ptr<ScopedEnv> displayEnv, busEnv;
    TempFolder folder;
    ProgramHome home{folder.path()};
    QProcess program;

    void SetUp() override {
        ASSERT_FALSE(display.name().empty()) << "Xvfb did not start";
        ASSERT_FALSE(bus.address().empty()) << "dbus-daemon did not start";
        // The program and the tools that look at its windows use this desktop.
        displayEnv = std::make_unique<ScopedEnv>("DISPLAY", display.name().c_str());
        busEnv = std::make_unique<ScopedEnv>("DBUS_SESSION_BUS_ADDRESS", bus.address().c_str());
        // Asked to start in the notification area; without one it must show.
        home.WriteSettings("[Option]\nmfirst=0\n[tray]\ntray=1\n");
    }
    void TearDown() override {
        if (program.state() != QProcess::NotRunning) {
            program.terminate();
            if (!program.waitForFinished(5000)) program.kill();
            program.waitForFinished();
        }
    }
    void Start() {
        home.Prepare(program);
        program.start();
        ASSERT_TRUE(program.waitForStarted());
    }
    std::map<std::string, std::string> Desktop() const {
        return {{"DISPLAY", display.name()}, {"DBUS_SESSION_BUS_ADDRESS", bus.address()}};
    }
    std::unique_ptr<SpawnedProcess> Trayer() const {
        return std::make_unique<SpawnedProcess>(std::vector<std::string>{"trayer", "--edge", "top", "--align",
                                                                         "right", "--widthtype", "request",
                                                                         "--height", "32"},
                                                Desktop());
    }
    std::unique_ptr<SpawnedProcess> Watcher() const {
        auto watcher = std::make_unique<SpawnedProcess>(
            std::vector<std::string>{"/usr/bin/python3", std::string(ORVANTA_SOURCE_DIR) +
                                                             "/tests/support/status_notifier_watcher.py"},
            Desktop());
        EXPECT_FALSE(watcher->WaitForLine("ready", 20s).empty()) << "the stand-in watcher did not start";
        return watcher;
    }
    bool WindowShown() { return VisibleMainWindows(program.processId()).size() == 1; }
    bool WindowHidden() { return VisibleMainWindows(program.processId()).isEmpty(); }
};

TEST_F(LatePanel, AnEmbeddingTrayThatComesSecondsLaterShowsTheIcon) {
    Start();
    ASSERT_TRUE(WaitUntil([&] { return WindowShown(); }, 15s));
    std::this_thread::sleep_for(3s);
    EXPECT_FALSE(TrayIconShown(program.processId()));
    EXPECT_TRUE(WindowShown());
    auto trayer = Trayer();
    EXPECT_TRUE(WaitUntil([&] { return TrayIconShown(program.processId()); }, 15s));
    EXPECT_TRUE(WindowShown());
}

TEST_F(LatePanel, TheWindowComesBackWhenTheTrayGoesAndTheIconWhenItReturns) {
    auto trayer = Trayer();
    Start();
    ASSERT_TRUE(WaitUntil([&] { return TrayIconShown(program.processId()); }, 15s));
    ASSERT_TRUE(WindowHidden());
    trayer->Stop();
    EXPECT_TRUE(WaitUntil([&] { return WindowShown(); }, 15s));
    std::this_thread::sleep_for(1s);
    trayer = Trayer();
    EXPECT_TRUE(WaitUntil([&] { return TrayIconShown(program.processId()); }, 15s));
    EXPECT_EQ(program.state(), QProcess::Running);
}

TEST_F(LatePanel, AStatusNotifierWatcherThatComesLaterGetsTheItem) {
    Start();
    ASSERT_TRUE(WaitUntil([&] { return WindowShown(); }, 15s));
    std::this_thread::sleep_for(3s);
    auto watcher = Watcher();
    const std::string registered = watcher->WaitForLine("registered ", 15s);
    EXPECT_FALSE(registered.empty()) << "the program's item never registered with the late watcher";
    EXPECT_TRUE(WindowShown());
}

TEST_F(LatePanel, APanelsSingleActivationOpensTheWindow) {
    auto watcher = Watcher();
    Start();
    ASSERT_FALSE(watcher->WaitForLine("registered ", 15s).empty());
    ASSERT_TRUE(WaitUntil([&] { return WindowHidden(); }, 5s));
    std::this_thread::sleep_for(1s);
    EXPECT_TRUE(WindowHidden());
    watcher->Send("activate");
    ASSERT_FALSE(watcher->WaitForLine("activated 1", 10s).empty());
    EXPECT_TRUE(WaitUntil([&] { return WindowShown(); }, 10s));
}

} // namespace
} // namespace orvanta::test
