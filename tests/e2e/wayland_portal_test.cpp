#include "data/data_set.h"
#include "data/task_record.h"
#include "data/task_store.h"
#include "platform/linux/linux_clock.h"
#include "tests/e2e/program_run.h"
#include "tests/support/temp_folder.h"

#include <QProcess>
#include <QThread>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>

namespace orvanta::test {
namespace {

using namespace std::chrono_literals;

// The real program told it runs in a Wayland session, on the test desktop: the toolkit finds no
// compositor and falls back to the X display as it does through XWayland, and the desktop portal is the
// stand-in of the platform tests on the private bus.
class WaylandSession : public ::testing::Test {
  protected:
    TempFolder folder;
    ProgramHome home{folder.path()};
    platform::linux_backend::LinuxClock clock;
    std::string database = home.dataFolder() + "/task.db";
    data::TaskStore store{database, clock};
    QProcess portal;
    QProcess program;
    std::string marker = folder.file("ran");

    void SetUp() override {
        if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no X display: run under scripts/platform-test-env.sh";
        home.WriteSettings("[Option]\nmfirst=0\n");
        ASSERT_TRUE(data::SeedTaskDatabase(database));
        store.DeleteAllTimedTasks();
        store.DeleteAllHotkeyTasks();
        data::TaskRecord task;
        task.title = "marker";
        task.dateMode = data::kHotkey;
        task.time = "9:00:00";
        task.endTime = "23:59:59";
        task.hotkey2 = 'Q';
        task.launch = "/usr/bin/touch|" + marker;
        store.InsertTask(task);

        portal.setProcessChannelMode(QProcess::MergedChannels);
        portal.start("/usr/bin/python3", {ORVANTA_SOURCE_DIR "/tests/platform_hotkeys/portal_stand_in.py"});
        ASSERT_TRUE(portal.waitForReadyRead(20000)) << "the portal stand-in did not start";
    }
    void TearDown() override {
        for (QProcess* p : {&program, &portal}) {
            if (p->state() == QProcess::NotRunning) continue;
            p->terminate();
            if (!p->waitForFinished(5000)) p->kill();
            p->waitForFinished();
        }
    }

    QString PortalCalls() {
        return RunTool("dbus-send",
                       {"--session", "--print-reply", "--dest=org.freedesktop.portal.Desktop",
                        "/org/freedesktop/portal/desktop", "org.orvanta.test.PortalStandIn.Calls"});
    }
    bool Activate(const QString& shortcut) {
        return RunTool("dbus-send", {"--session", "--print-reply", "--dest=org.freedesktop.portal.Desktop",
                                     "/org/freedesktop/portal/desktop",
                                     "org.orvanta.test.PortalStandIn.Activate", "string:" + shortcut})
            .contains("boolean true");
    }
};

// The hotkey task becomes a shortcut of the portal session, under the program's application ID, and
// runs when the desktop reports it activated; the X display's keys do not reach it, as XWayland's would
// only while one of its windows had the focus.
TEST_F(WaylandSession, AHotkeyTaskIsThePortalsShortcutAndRunsWhenItIsActivated) {
    home.Prepare(program);
    QProcessEnvironment env = program.processEnvironment();
    env.insert("XDG_SESSION_TYPE", "wayland");
    env.insert("WAYLAND_DISPLAY", "wayland-test-absent");
    program.setProcessEnvironment(env);
    program.start();
    ASSERT_TRUE(program.waitForStarted());
    ASSERT_TRUE(WaitUntil([&] { return PortalCalls().contains("hotkey-ALT+Q=ALT+Q"); }, 15s))
        << PortalCalls().toStdString();
    EXPECT_TRUE(PortalCalls().contains("org.orvanta.Orvanta"));

    RunTool("xdotool", {"key", "alt+q"});
    QThread::msleep(500);
    EXPECT_FALSE(std::filesystem::exists(marker)) << "a key of the X display ran the task";

    ASSERT_TRUE(Activate("hotkey-ALT+Q"));
    EXPECT_TRUE(WaitUntil([&] { return std::filesystem::exists(marker); }, 10s));
}

} // namespace
} // namespace orvanta::test
