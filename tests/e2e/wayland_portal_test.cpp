#include "data/data_set.h"
#include "data/task_record.h"
#include "data/task_store.h"
#include "platform/linux/linux_clock.h"
#include "tests/e2e/program_run.h"
#include "tests/support/temp_folder.h"

#include <QProcess>
#include <QThread>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace orvanta::test {
namespace {

using namespace std::chrono_literals;

// The real program told it runs in a Wayland session, on the test desktop: the toolkit finds no
// compositor and falls back to the X display as it does through XWayland, and the desktop portal is a
// stand-in of the platform tests on the private bus.
class WaylandProgram : public ::testing::Test {
  protected:
    TempFolder folder;
    ProgramHome home{folder.path()};
    platform::linux_backend::LinuxClock clock;
    std::string database = home.dataFolder() + "/task.db";
    data::TaskStore store{database, clock};
    QProcess portal;
    QProcess program;

    // An empty task file, the settings given and the stand-in of the given script running.
    void Prepare(const std::string& settings, const char* standIn) {
        if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no X display: run under scripts/platform-test-env.sh";
        home.WriteSettings(settings);
        ASSERT_TRUE(data::SeedTaskDatabase(database));
        store.DeleteAllTimedTasks();
        store.DeleteAllHotkeyTasks();
        portal.setProcessChannelMode(QProcess::MergedChannels);
        portal.start("/usr/bin/python3", {standIn});
        ASSERT_TRUE(portal.waitForReadyRead(20000)) << "the portal stand-in did not start";
    }
    void StartProgram() {
        home.Prepare(program);
        QProcessEnvironment env = program.processEnvironment();
        env.insert("XDG_SESSION_TYPE", "wayland");
        env.insert("WAYLAND_DISPLAY", "wayland-test-absent");
        program.setProcessEnvironment(env);
        program.start();
        ASSERT_TRUE(program.waitForStarted());
    }
    void TearDown() override {
        for (QProcess* p : {&program, &portal}) {
            if (p->state() == QProcess::NotRunning) continue;
            p->terminate();
            if (!p->waitForFinished(5000)) p->kill();
            p->waitForFinished();
        }
    }
};

// With the GlobalShortcuts stand-in, and one hotkey task.
class WaylandSession : public WaylandProgram {
  protected:
    std::string marker = folder.file("ran");

    void SetUp() override {
        Prepare("[Option]\nmfirst=0\n", ORVANTA_SOURCE_DIR "/tests/platform_hotkeys/portal_stand_in.py");
        if (IsSkipped() || HasFatalFailure()) return;
        data::TaskRecord task;
        task.title = "marker";
        task.dateMode = data::kHotkey;
        task.time = "9:00:00";
        task.endTime = "23:59:59";
        task.hotkey2 = 'Q';
        task.launch = "/usr/bin/touch|" + marker;
        store.InsertTask(task);
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
    StartProgram();
    if (HasFatalFailure()) return;
    ASSERT_TRUE(WaitUntil([&] { return PortalCalls().contains("hotkey-ALT+Q=ALT+Q"); }, 15s))
        << PortalCalls().toStdString();
    EXPECT_TRUE(PortalCalls().contains("org.orvanta.Orvanta"));

    RunTool("xdotool", {"key", "alt+q"});
    QThread::msleep(500);
    EXPECT_FALSE(std::filesystem::exists(marker)) << "a key of the X display ran the task";

    ASSERT_TRUE(Activate("hotkey-ALT+Q"));
    EXPECT_TRUE(WaitUntil([&] { return std::filesystem::exists(marker); }, 10s));
}

// The real program in a Wayland session whose desktop offers the RemoteDesktop portal (the stand-in of
// the platform tests) and refuses it: the user says no when asked, as the task's macro begins.
class WaylandPlaybackRefused : public WaylandProgram {
  protected:
    void SetUp() override {
        Prepare("[Option]\nmfirst=0\n[tray]\ntray=1\n",
                ORVANTA_SOURCE_DIR "/tests/platform_macros/remote_desktop_stand_in.py");
    }
};

// The later actions of the task do not run, as for a macro that cannot be played, and the history tells
// the refusal as the task's.
TEST_F(WaylandPlaybackRefused, TheTasksLaterActionsDoNotRunAndTheHistoryNamesTheTask) {
    const std::string macro = folder.file("keys.mco");
    std::ofstream(macro, std::ios::binary) << "0 KEY_DOWN 65\r\n10 KEY_UP 65\r\n";
    const std::string marker = folder.file("launched-after-the-macro");
    data::TaskRecord task;
    task.title = "macro then launch";
    task.dateMode = data::kHotkey;
    task.time = "9:00:00";
    task.endTime = "23:59:59";
    task.hotkey2 = 'Q';
    task.macro = macro;
    task.launch = "/usr/bin/touch|" + marker;
    const std::string id = store.InsertTask(task);
    // The same as a timed task, which the scheduler's pass runs and records.
    const std::string timedMarker = folder.file("launched-after-the-timed-macro");
    const std::time_t due = std::time(nullptr) + 15;
    std::tm local{};
    localtime_r(&due, &local);
    data::TaskRecord timed = task;
    timed.title = "timed macro then launch";
    timed.dateMode = data::kOnce;
    timed.year = local.tm_year + 1900, timed.month = local.tm_mon + 1, timed.day = local.tm_mday;
    char time[16];
    std::snprintf(time, sizeof time, "%d:%02d:%02d", local.tm_hour, local.tm_min, local.tm_sec);
    timed.time = time;
    timed.hotkey2 = 0;
    timed.launch = "/usr/bin/touch|" + timedMarker;
    const std::string timedId = store.InsertTask(timed);
    RunTool("dbus-send", {"--session", "--print-reply", "--dest=org.freedesktop.portal.Desktop",
                          "/org/freedesktop/portal/desktop",
                          "org.orvanta.test.RemoteDesktopStandIn.AnswerStarts", "uint32:1"});

    StartProgram();
    if (HasFatalFailure()) return;
    const QString dataFolder = QString::fromStdString(home.dataFolder());
    ASSERT_TRUE(WaitUntil(
        [&] {
            return RunTool("gdbus",
                           {"call", "--session", "--dest", "org.orvanta.Orvanta", "--object-path",
                            "/org/orvanta/Orvanta", "--method", "org.freedesktop.DBus.Properties.Get",
                            "org.orvanta.Orvanta1", "DataFolder"})
                .contains(dataFolder);
        },
        20s));

    QProcess run;
    run.start(QStringLiteral(ORVANTACTL_PROGRAM),
              {"--data-dir", dataFolder, "run", QString::fromStdString(id)});
    ASSERT_TRUE(run.waitForFinished(30000));
    const QString said = QString::fromLocal8Bit(run.readAllStandardOutput() + run.readAllStandardError());
    EXPECT_TRUE(said.contains("the macro was not played")) << said.toStdString();
    QThread::msleep(1000);
    EXPECT_FALSE(std::filesystem::exists(marker)) << "the launch after the refused macro ran";

    ASSERT_LT(std::time(nullptr), due - 1) << "the machine was too slow to try the timed task";
    EXPECT_TRUE(WaitUntil(
        [&] {
            return RunTool(QStringLiteral(ORVANTACTL_PROGRAM),
                           {"history", "--task", QString::fromStdString(timedId)})
                .contains("the macro was not played");
        },
        30s))
        << RunTool(QStringLiteral(ORVANTACTL_PROGRAM), {"history"}).toStdString();
    QThread::msleep(1000);
    EXPECT_FALSE(std::filesystem::exists(timedMarker)) << "the launch after the refused timed macro ran";
}

} // namespace
} // namespace orvanta::test
