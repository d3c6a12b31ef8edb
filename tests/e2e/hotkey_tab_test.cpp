#include "data/data_set.h"
#include "data/task_record.h"
#include "data/task_store.h"
#include "platform/linux/linux_clock.h"
#include "tests/e2e/program_run.h"
#include "tests/e2e/x_client.h"
#include "tests/support/temp_folder.h"

#include <QThread>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>

namespace orvanta::test {
namespace {

using namespace std::chrono_literals;

// The real program with hotkey tasks of the test's own; each task touches a marker file when it runs.
class HotkeyTab : public ::testing::Test {
  protected:
    TempFolder folder;
    ProgramHome home{folder.path()};
    platform::linux_backend::LinuxClock clock;
    std::string database = home.dataFolder() + "/task.db";
    data::TaskStore store{database, clock};
    QProcess program;

    void SetUp() override {
        if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no X display: run under scripts/platform-test-env.sh";
        home.WriteSettings("[Option]\nmfirst=0\n");
        ASSERT_TRUE(data::SeedTaskDatabase(database));
        // Nothing but the test's tasks, so every check box on screen is one of them.
        store.DeleteAllTimedTasks();
        store.DeleteAllHotkeyTasks();
    }
    void TearDown() override {
        if (program.state() != QProcess::NotRunning) {
            program.terminate();
            if (!program.waitForFinished(5000)) program.kill();
            program.waitForFinished();
        }
    }

    std::string Marker(char key) const { return folder.file(std::string("ran-") + key); }
    bool Ran(char key) const { return std::filesystem::exists(Marker(key)); }
    std::string AddAltHotkey(char key) {
        data::TaskRecord task;
        task.title = std::string("marker ") + key;
        task.dateMode = data::kHotkey;
        task.time = "9:00:00";
        task.endTime = "23:59:59";
        task.hotkey2 = key;
        task.launch = "/usr/bin/touch|" + Marker(key);
        return store.InsertTask(task);
    }
    static void Press(char key) { RunTool("xdotool", {"key", QString("alt+") + QChar(key).toLower()}); }

    QString StartAndWaitForWindow() {
        home.Prepare(program);
        program.start();
        if (!program.waitForStarted()) return {};
        QStringList windows;
        WaitUntil([&] { return (windows = VisibleMainWindows(program.processId())).size() == 1; }, 15s);
        return windows.size() == 1 ? windows.front() : QString();
    }
    // Presses the key until its task has run; the grabs are in place soon after the window is up.
    bool RunsWhenPressed(char key) {
        std::filesystem::remove(Marker(key));
        return WaitUntil(
            [&] {
                Press(key);
                return Ran(key);
            },
            10s);
    }
    // Presses the key, then the control key, whose task runs after the first key's would have.
    bool RunsBeforeControl(char key, char control) {
        std::filesystem::remove(Marker(key));
        std::filesystem::remove(Marker(control));
        Press(key);
        Press(control);
        if (!WaitUntil([&] { return Ran(control); }, 10s)) {
            ADD_FAILURE() << "the control task did not run";
            return false;
        }
        QThread::msleep(500); // its program was started first; give it the same time to finish
        return Ran(key);
    }
    bool StoredEnabled(const std::string& id) const {
        data::DataSet rows = store.ReadHotkeyTasks();
        for (; !rows.eof(); rows.next()) {
            const data::TaskRecord t = data::ReadTaskRecord(rows);
            if (std::to_string(t.id) == id) return t.enabled == 1;
        }
        return false;
    }
};

TEST_F(HotkeyTab, ACombinationHeldByAnotherClientIsRefusedAndNeverRuns) {
    AddAltHotkey('J');
    AddAltHotkey('K');
    ForeignAltKeyGrab other("j");
    ASSERT_TRUE(other.held());
    ASSERT_FALSE(StartAndWaitForWindow().isEmpty()) << program.readAllStandardError().toStdString();
    ASSERT_TRUE(RunsWhenPressed('K')) << program.readAllStandardError().toStdString();

    EXPECT_FALSE(RunsBeforeControl('J', 'K'));
    // Once the other client lets go, the keys reach nobody's grab: the program took nothing for them.
    other.Release();
    EXPECT_FALSE(RunsBeforeControl('J', 'K'));
    EXPECT_EQ(program.state(), QProcess::Running);
}

TEST_F(HotkeyTab, UnTickingATaskStopsItsKeysOnlyAtTheDelayedReload) {
    const std::string task = AddAltHotkey('L');
    AddAltHotkey('M'); // listed second: the first check box is L's
    const QString window = StartAndWaitForWindow();
    ASSERT_FALSE(window.isEmpty()) << program.readAllStandardError().toStdString();
    ASSERT_TRUE(RunsWhenPressed('L')) << program.readAllStandardError().toStdString();

    // To the hotkey tab, then a click on the first row's check box.
    RunTool("xdotool", {"windowfocus", "--sync", window});
    RunTool("xdotool", {"key", "ctrl+Tab"});
    std::optional<std::pair<int, int>> box;
    ASSERT_TRUE(WaitUntil([&] { return (box = FindCheckBox(window.toULong())).has_value(); }, 5s))
        << "no check box on screen";
    RunTool("xdotool", {"mousemove", "--window", window, QString::number(box->first),
                        QString::number(box->second), "click", "1"});
    // Until the reload three seconds after the click the combination still works.
    EXPECT_TRUE(RunsBeforeControl('L', 'M'));
    EXPECT_FALSE(StoredEnabled(task)) << "the click missed the check box";
    QThread::msleep(3500);
    EXPECT_FALSE(RunsBeforeControl('L', 'M'));
}

} // namespace
} // namespace orvanta::test
