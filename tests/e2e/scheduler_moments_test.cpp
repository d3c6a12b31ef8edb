#include "data/task_store.h"
#include "platform/linux/linux_clock.h"
#include "tests/e2e/program_run.h"
#include "tests/support/temp_folder.h"

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <thread>

// The real program's timed path: two tasks in one second, and a clock the user sets back.
namespace orvanta::test {
namespace {

using namespace std::chrono_literals;

class ScheduledMoments : public ::testing::Test {
  protected:
    TempFolder folder;
    ProgramHome home{folder.path()};
    QProcess program;
    std::string database;

    void SetUp() override {
        if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no X display: run under scripts/platform-test-env.sh";
        home.WriteSettings("[Option]\nmfirst=0\n[tray]\ntray=1\n");
        database = home.dataFolder() + "/task.db";
        ASSERT_TRUE(data::SeedTaskDatabase(database));
    }
    void TearDown() override {
        if (program.state() != QProcess::NotRunning) {
            program.terminate();
            if (!program.waitForFinished(5000)) program.kill();
            program.waitForFinished();
        }
    }

    // A task that touches a marker file at a local moment, once (or daily).
    std::string Add(std::time_t at, const std::string& name, bool wakes, bool daily = false) {
        std::tm local{};
        localtime_r(&at, &local);
        platform::linux_backend::LinuxClock clock;
        data::TaskRecord task;
        task.title = name;
        task.dateMode = daily ? data::kDaily : data::kOnce;
        task.year = local.tm_year + 1900, task.month = local.tm_mon + 1, task.day = local.tm_mday;
        char time[16];
        std::snprintf(time, sizeof time, "%d:%02d:%02d", local.tm_hour, local.tm_min, local.tm_sec);
        task.time = time;
        task.endTime = "23:59:59";
        task.event = wakes ? data::kEventWakeAndRun : data::kEventNone;
        const std::string marker = folder.file(name);
        task.launch = "/usr/bin/touch|" + marker;
        data::TaskStore(database, clock).InsertTask(task);
        return marker;
    }
    void Start(const QProcessEnvironment& extra = {}) {
        home.Prepare(program);
        QProcessEnvironment env = program.processEnvironment();
        for (const QString& key : extra.keys())
            env.insert(key, extra.value(key));
        program.setProcessEnvironment(env);
        program.start();
        ASSERT_TRUE(program.waitForStarted());
        ASSERT_TRUE(WaitUntil([&] { return TrayIconShown(program.processId()); }, 15s));
    }
};

TEST_F(ScheduledMoments, AWakeAndAPlainTaskInOneSecondRunAndNothingLaterDoes) {
    const std::time_t due = std::time(nullptr) + 6;
    const std::string wakeNow = Add(due, "wake-now", true);
    const std::string plainNow = Add(due, "plain-now", false);
    const std::string wakeLater = Add(due + 2 * 3600, "wake-later", true);
    const std::string plainLater = Add(due + 3 * 3600, "plain-later", false);
    Start();
    ASSERT_TRUE(
        WaitUntil([&] { return std::filesystem::exists(wakeNow) && std::filesystem::exists(plainNow); }, 20s))
        << program.readAllStandardError().toStdString();
    // Both hand-overs are over a second later; neither may have run what comes hours ahead.
    std::this_thread::sleep_for(3s);
    EXPECT_FALSE(std::filesystem::exists(wakeLater));
    EXPECT_FALSE(std::filesystem::exists(plainLater));
    EXPECT_EQ(program.state(), QProcess::Running);
}

TEST_F(ScheduledMoments, LaterTasksStillRunAfterTheClockIsSetBackOverOneThatRan) {
    const char* preload = "/usr/lib/x86_64-linux-gnu/faketime/libfaketimeMT.so.1";
    if (!std::filesystem::exists(preload)) GTEST_SKIP() << "libfaketime is not installed";
    const std::string offset = folder.file("faketime");
    std::ofstream(offset) << "+0\n";
    const std::time_t start = std::time(nullptr);
    const std::string first = Add(start + 8, "first", false, true);
    const std::string later = Add(start + 40, "later", false);
    QProcessEnvironment env;
    env.insert("LD_PRELOAD", preload);
    env.insert("FAKETIME_TIMESTAMP_FILE", QString::fromStdString(offset));
    env.insert("FAKETIME_NO_CACHE", "1");
    env.insert("FAKETIME_DONT_FAKE_MONOTONIC", "1");
    Start(env);
    ASSERT_TRUE(WaitUntil([&] { return std::filesystem::exists(first); }, 20s))
        << program.readAllStandardError().toStdString();
    std::filesystem::remove(first);
    // The user sets the clock back 20 seconds: the daily task's moment comes round again.
    std::ofstream(offset) << "-20\n";
    ASSERT_TRUE(WaitUntil([&] { return std::filesystem::exists(later); }, 70s))
        << program.readAllStandardError().toStdString();
    EXPECT_FALSE(std::filesystem::exists(first)) << "the task that had run ran again";
}

} // namespace
} // namespace orvanta::test
