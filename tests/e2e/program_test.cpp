#include "data/task_store.h"
#include "platform/linux/linux_clock.h"
#include "tests/e2e/program_run.h"
#include "tests/e2e/x_client.h"
#include "tests/support/temp_folder.h"

#include <QElapsedTimer>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <thread>

namespace orvanta::test {
namespace {

using namespace std::chrono_literals;

class Program : public ::testing::Test {
  protected:
    TempFolder folder;
    ProgramHome home{folder.path()};
    QProcess first;

    void SetUp() override {
        if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no X display: run under scripts/platform-test-env.sh";
        // The first-run question would stand in front of the window.
        home.WriteSettings("[Option]\nmfirst=0\n");
    }
    void TearDown() override {
        if (first.state() != QProcess::NotRunning) {
            first.terminate();
            if (!first.waitForFinished(5000)) first.kill();
            first.waitForFinished();
        }
    }
    // A seeded task database with one enabled Alt+key task that launches the given program line.
    bool AddAltHotkeyTask(const std::string& title, char key, const std::string& launch) {
        platform::linux_backend::LinuxClock clock;
        const std::string database = home.dataFolder() + "/task.db";
        if (!data::SeedTaskDatabase(database)) return false;
        data::TaskRecord task;
        task.title = title;
        task.dateMode = data::kHotkey;
        task.time = "9:00:00";
        task.endTime = "23:59:59";
        task.hotkey1 = 0; // Alt
        task.hotkey2 = key;
        task.launch = launch;
        data::TaskStore(database, clock).InsertTask(task);
        return true;
    }
    void StartFirst() {
        home.Prepare(first);
        first.start();
        ASSERT_TRUE(first.waitForStarted());
    }
};

TEST_F(Program, StartsWithItsWindowAndTrayIconAndSeedsTheDatabase) {
    StartFirst();
    EXPECT_TRUE(WaitUntil([&] { return VisibleMainWindows(first.processId()).size() == 1; }, 15s));
    EXPECT_TRUE(WaitUntil([&] { return TrayIconShown(first.processId()); }, 15s));
    EXPECT_TRUE(data::IsTaskDatabase(home.dataFolder() + "/task.db"));
    EXPECT_EQ(first.state(), QProcess::Running);
}

TEST_F(Program, ASecondStartHandsOverToTheHiddenFirstAndEnds) {
    home.WriteSettings("[Option]\nmfirst=0\n[tray]\ntray=1\n");
    StartFirst();
    ASSERT_TRUE(WaitUntil([&] { return TrayIconShown(first.processId()); }, 15s));
    EXPECT_TRUE(VisibleMainWindows(first.processId()).isEmpty());

    QProcess second;
    home.Prepare(second);
    second.start();
    ASSERT_TRUE(second.waitForFinished(10000));
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_TRUE(WaitUntil([&] { return VisibleMainWindows(first.processId()).size() == 1; }, 15s));
    EXPECT_EQ(first.state(), QProcess::Running);
}

TEST_F(Program, ASecondStartWithNewTaskOpensTheEditorInTheFirst) {
    home.WriteSettings("[Option]\nmfirst=0\n[tray]\ntray=1\n");
    StartFirst();
    ASSERT_TRUE(WaitUntil([&] { return TrayIconShown(first.processId()); }, 15s));
    auto editors = [&] {
        return SearchWindows(
            {"--onlyvisible", "--pid", QString::number(first.processId()), "--name", "^Add Task$"});
    };
    EXPECT_TRUE(editors().isEmpty());

    QProcess second;
    home.Prepare(second);
    second.setArguments({"--new-task"});
    second.start();
    ASSERT_TRUE(second.waitForFinished(10000));
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0) << second.readAllStandardError().toStdString();
    EXPECT_TRUE(WaitUntil([&] { return editors().size() == 1; }, 15s))
        << "the first copy opened no editor; the second said: " << second.readAllStandardError().toStdString()
        << "; the first: " << first.readAllStandardError().toStdString() << "; its windows: "
        << SearchWindows({"--onlyvisible", "--pid", QString::number(first.processId())})
               .join(' ')
               .toStdString();
    // The window under the editor may be mapped a moment after it on a busy machine.
    EXPECT_TRUE(WaitUntil([&] { return VisibleMainWindows(first.processId()).size() == 1; }, 5s));
    EXPECT_EQ(VisibleMainWindows(first.processId()).size(), 1);
    EXPECT_EQ(first.state(), QProcess::Running);
}

// Where there is no session bus, the instance's socket is the only way to the first copy.
TEST_F(Program, WithoutASessionBusASecondStartHandsOverAtTheSocket) {
    home.WriteSettings("[Option]\nmfirst=0\n[tray]\ntray=1\n");
    auto withoutBus = [](QProcess& process) {
        QProcessEnvironment env = process.processEnvironment();
        env.remove("DBUS_SESSION_BUS_ADDRESS");
        process.setProcessEnvironment(env);
    };
    home.Prepare(first);
    withoutBus(first);
    first.start();
    ASSERT_TRUE(first.waitForStarted());
    ASSERT_TRUE(WaitUntil([&] { return TrayIconShown(first.processId()); }, 15s));
    EXPECT_TRUE(VisibleMainWindows(first.processId()).isEmpty());

    QProcess second;
    home.Prepare(second);
    withoutBus(second);
    second.start();
    ASSERT_TRUE(second.waitForFinished(10000));
    EXPECT_EQ(second.exitCode(), 0) << second.readAllStandardError().toStdString();
    EXPECT_TRUE(WaitUntil([&] { return VisibleMainWindows(first.processId()).size() == 1; }, 15s));
    EXPECT_EQ(first.state(), QProcess::Running);
}

// Copies for two data folders share one bus: the one holding the bus name is not the later copy's first
// copy, and only the copy waiting in line behind it for the later copy's folder may be asked. Its socket
// is taken away, so only the bus can reach it.
TEST_F(Program, ASecondStartAsksOnlyTheCopyForItsOwnDataFolderOnTheBus) {
    home.WriteSettings("[Option]\nmfirst=0\n[tray]\ntray=1\n");
    StartFirst();
    ASSERT_TRUE(WaitUntil([&] { return TrayIconShown(first.processId()); }, 15s));

    TempFolder otherFolder;
    ProgramHome other{otherFolder.path()};
    other.WriteSettings("[Option]\nmfirst=0\n[tray]\ntray=1\n");
    QProcess otherFirst;
    other.Prepare(otherFirst);
    otherFirst.start();
    ASSERT_TRUE(otherFirst.waitForStarted());
    const auto stopOther = [&] {
        otherFirst.terminate();
        if (!otherFirst.waitForFinished(5000)) otherFirst.kill();
        otherFirst.waitForFinished();
    };
    if (!WaitUntil([&] { return TrayIconShown(otherFirst.processId()); }, 15s)) {
        stopOther();
        FAIL() << "the copy for the other data folder did not start";
    }
    std::filesystem::remove(otherFolder.file("run/TalvenorScheduler"));

    QProcess second;
    other.Prepare(second);
    second.start();
    const bool ended = second.waitForFinished(10000);
    EXPECT_TRUE(ended);
    EXPECT_EQ(second.exitCode(), 0) << second.readAllStandardError().toStdString();
    EXPECT_TRUE(WaitUntil([&] { return VisibleMainWindows(otherFirst.processId()).size() == 1; }, 15s))
        << "the copy for the later copy's data folder was not reached over the bus";
    std::this_thread::sleep_for(1s);
    EXPECT_TRUE(VisibleMainWindows(first.processId()).isEmpty())
        << "the copy for another data folder came forward";

    // The command line reaches the same copy, though the other holds the name: with the editor open there,
    // a change made from the command line is told to wait for that editor.
    QProcess editorStart;
    other.Prepare(editorStart);
    editorStart.setArguments({"--new-task"});
    editorStart.start();
    EXPECT_TRUE(editorStart.waitForFinished(10000));
    EXPECT_TRUE(WaitUntil(
        [&] {
            return SearchWindows({"--onlyvisible", "--pid", QString::number(otherFirst.processId()), "--name",
                                  "^Add Task$"})
                       .size() == 1;
        },
        15s))
        << "no editor opened in the copy for that folder";
    QProcess ctl;
    ctl.start(QStringLiteral(ORVANTACTL_PROGRAM),
              {"--data-dir", QString::fromStdString(other.dataFolder()), "add", "--trigger", "daily",
               "--start", "03:00", "--event", "lock"});
    EXPECT_TRUE(ctl.waitForFinished(20000));
    const QString told = QString::fromLocal8Bit(ctl.readAllStandardError());
    EXPECT_EQ(ctl.exitCode(), 0) << told.toStdString();
    EXPECT_TRUE(told.contains("has a window open that holds its tasks"))
        << "the command line did not reach the copy for its folder: " << told.toStdString();
    stopOther();
}

// What the command line cannot be: told on stderr with status 2, before any window or hand-over. Help and
// the version need no display at all.
TEST_F(Program, CommandLineMistakesHelpAndVersion) {
    auto run = [&](const QStringList& arguments, bool withDisplay) {
        QProcess process;
        home.Prepare(process);
        if (!withDisplay) {
            QProcessEnvironment env = process.processEnvironment();
            env.remove("DISPLAY");
            env.remove("WAYLAND_DISPLAY");
            process.setProcessEnvironment(env);
        }
        process.setArguments(arguments);
        process.start();
        EXPECT_TRUE(process.waitForFinished(10000));
        struct Result {
            int status;
            QString out, err;
        };
        return Result{process.exitCode(), QString::fromLocal8Bit(process.readAllStandardOutput()),
                      QString::fromLocal8Bit(process.readAllStandardError())};
    };
    const auto unknown = run({"--new-task", "--bogus"}, true);
    EXPECT_EQ(unknown.status, 2);
    EXPECT_TRUE(unknown.err.contains("unknown option '--bogus'")) << unknown.err.toStdString();
    // The toolkit's own options are its own: the message names only what nobody took.
    const auto toolkit = run({"-platform", "xcb", "stray"}, true);
    EXPECT_EQ(toolkit.status, 2);
    EXPECT_TRUE(toolkit.err.contains("unexpected argument 'stray'")) << toolkit.err.toStdString();
    EXPECT_FALSE(toolkit.err.contains("platform")) << toolkit.err.toStdString();
    EXPECT_FALSE(std::filesystem::exists(home.dataFolder() + "/task.db"))
        << "a refused start touched no data";

    const auto help = run({"--help"}, false);
    EXPECT_EQ(help.status, 0) << help.err.toStdString();
    EXPECT_TRUE(help.out.contains("--new-task")) << help.out.toStdString();
    const auto version = run({"--version"}, false);
    EXPECT_EQ(version.status, 0);
    EXPECT_TRUE(version.out.startsWith("Orvanta ")) << version.out.toStdString();
}

TEST_F(Program, ATimedTaskFiresAtItsSecond) {
    const std::time_t due = std::time(nullptr) + 3;
    std::tm local{};
    localtime_r(&due, &local);
    const std::string marker = folder.file("fired");
    {
        platform::linux_backend::LinuxClock clock;
        const std::string database = home.dataFolder() + "/task.db";
        ASSERT_TRUE(data::SeedTaskDatabase(database));
        data::TaskRecord task;
        task.title = "marker";
        task.dateMode = data::kOnce;
        task.year = local.tm_year + 1900, task.month = local.tm_mon + 1, task.day = local.tm_mday;
        task.time = std::to_string(local.tm_hour) + ":" + (local.tm_min < 10 ? "0" : "") +
                    std::to_string(local.tm_min) + ":" + (local.tm_sec < 10 ? "0" : "") +
                    std::to_string(local.tm_sec);
        task.endTime = "23:59:59";
        task.launch = "/usr/bin/touch|" + marker;
        data::TaskStore(database, clock).InsertTask(task);
    }
    StartFirst();

    struct stat fired {};
    ASSERT_TRUE(WaitUntil([&] { return stat(marker.c_str(), &fired) == 0; }, 20s))
        << first.readAllStandardError().toStdString();
    // Never early; the waiter's tolerance allows three seconds late.
    EXPECT_GE(fired.st_mtime, due);
    EXPECT_LE(fired.st_mtime, due + 3);
}

TEST_F(Program, AnEnabledHotkeyTaskRunsWhenItsCombinationIsPressed) {
    const std::string marker = folder.file("pressed");
    // The seeded database's seven hotkey tasks are disabled: Alt+K is free.
    ASSERT_TRUE(AddAltHotkeyTask("hotkey marker", 'K', "/usr/bin/touch|" + marker));
    StartFirst();
    ASSERT_TRUE(WaitUntil([&] { return VisibleMainWindows(first.processId()).size() == 1; }, 15s));
    // The grab is in place once the window is up; press until the task has run, at most a few times.
    ASSERT_TRUE(WaitUntil(
        [&] {
            RunTool("xdotool", {"key", "alt+k"});
            return std::filesystem::exists(marker);
        },
        10s))
        << first.readAllStandardError().toStdString();
}

// Where the program was started by the desktop, its stderr is all the journal keeps: a hotkey task that
// cannot have its keys must say so there, whatever the window shows.
TEST_F(Program, AHotkeyAnotherProgramHoldsLeavesALineOnStderr) {
    ASSERT_TRUE(AddAltHotkeyTask("held elsewhere", 'J', "/usr/bin/true"));
    ForeignAltKeyGrab other("j");
    ASSERT_TRUE(other.held());
    StartFirst();
    ASSERT_TRUE(WaitUntil([&] { return VisibleMainWindows(first.processId()).size() == 1; }, 15s));
    QByteArray errors;
    EXPECT_TRUE(WaitUntil(
        [&] {
            first.waitForReadyRead(100);
            errors += first.readAllStandardError();
            return errors.contains("orvanta: the X server refused to grab the hotkey virtual key 0x4A");
        },
        10s))
        << errors.toStdString();
}

} // namespace
} // namespace orvanta::test
