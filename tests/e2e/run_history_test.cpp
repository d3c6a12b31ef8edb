#include "data/task_store.h"
#include "platform/linux/linux_clock.h"
#include "tests/e2e/program_run.h"
#include "tests/support/temp_folder.h"

#include <QProcess>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iostream>

// The real program writes its run history to the journal, and orvantactl reads it back: a task that
// ran, one whose program does not exist, and one whose moment the clock jumped over.
namespace orvanta::test {
namespace {

using namespace std::chrono_literals;

const char* const kFaketime = "/usr/lib/x86_64-linux-gnu/faketime/libfaketimeMT.so.1";

class RunHistoryE2e : public ::testing::Test {
  protected:
    TempFolder folder;
    ProgramHome home{folder.path()};
    QProcess program;
    std::string database;

    void SetUp() override {
        if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no X display: run under scripts/platform-test-env.sh";
        if (!std::filesystem::exists("/run/systemd/journal/socket"))
            GTEST_SKIP() << "no systemd-journald runs: scripts/platform-test-env.sh starts one as root";
        if (!std::filesystem::exists(kFaketime)) GTEST_SKIP() << "libfaketime is not installed";
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

    std::string Add(std::time_t at, const std::string& title, const std::string& launch) {
        std::tm local{};
        localtime_r(&at, &local);
        platform::linux_backend::LinuxClock clock;
        data::TaskRecord task;
        task.title = title;
        task.dateMode = data::kOnce;
        task.year = local.tm_year + 1900, task.month = local.tm_mon + 1, task.day = local.tm_mday;
        char time[16];
        std::snprintf(time, sizeof time, "%d:%02d:%02d", local.tm_hour, local.tm_min, local.tm_sec);
        task.time = time;
        task.endTime = "23:59:59";
        task.launch = launch;
        return data::TaskStore(database, clock).InsertTask(task);
    }
    static QString History(const QStringList& arguments) {
        return RunTool(QStringLiteral(ORVANTACTL_PROGRAM), QStringList{"history"} + arguments);
    }
};

TEST_F(RunHistoryE2e, OrvantactlHistoryShowsARanAFailedAndASkippedTask) {
    const std::string offset = folder.file("faketime");
    std::ofstream(offset) << "+0\n";
    const std::time_t start = std::time(nullptr);
    char since[32];
    std::tm local{};
    localtime_r(&start, &local);
    std::strftime(since, sizeof since, "%Y-%m-%d %H:%M:%S", &local);
    const std::string marker = folder.file("ran");
    const std::string ran = Add(start + 6, "ran task", "/usr/bin/touch|" + marker);
    const std::string failed = Add(start + 6, "failed task", "/nonexistent/orvanta-no-such-program");
    const std::string skipped = Add(start + 40, "skipped task", "/usr/bin/touch|" + folder.file("skipped"));

    home.Prepare(program);
    QProcessEnvironment env = program.processEnvironment();
    env.insert("LD_PRELOAD", kFaketime);
    env.insert("FAKETIME_TIMESTAMP_FILE", QString::fromStdString(offset));
    env.insert("FAKETIME_NO_CACHE", "1");
    env.insert("FAKETIME_DONT_FAKE_MONOTONIC", "1");
    program.setProcessEnvironment(env);
    program.start();
    ASSERT_TRUE(program.waitForStarted());
    ASSERT_TRUE(WaitUntil([&] { return std::filesystem::exists(marker); }, 25s))
        << program.readAllStandardError().toStdString();
    // The user sets the clock a minute forward, past the third task's moment: the poll sees the jump.
    std::ofstream(offset) << "+60\n";
    QString all;
    ASSERT_TRUE(WaitUntil(
        [&] {
            all = History({"--since", since});
            return all.contains(QStringLiteral("skipped"));
        },
        40s))
        << all.toStdString() << program.readAllStandardError().toStdString();
    std::cout << "orvantactl history --since '" << since << "':\n" << all.toStdString();

    const QString ranLines = History({"--task", QString::fromStdString(ran)});
    const QString failedLines = History({"--task", QString::fromStdString(failed)});
    const QString skippedLines = History({"--task", QString::fromStdString(skipped)});
    EXPECT_TRUE(ranLines.contains(QStringLiteral("  ran  task %1 \"ran task\"").arg(ran.c_str())))
        << ranLines.toStdString();
    EXPECT_TRUE(failedLines.contains(QStringLiteral("  failed  task %1 \"failed task\"").arg(failed.c_str())))
        << failedLines.toStdString();
    EXPECT_TRUE(failedLines.contains(QStringLiteral("/nonexistent/orvanta-no-such-program")))
        << failedLines.toStdString();
    EXPECT_TRUE(
        skippedLines.contains(QStringLiteral("  skipped  task %1 \"skipped task\"").arg(skipped.c_str())))
        << skippedLines.toStdString();
    EXPECT_TRUE(skippedLines.contains(QStringLiteral("(the clock jumped)"))) << skippedLines.toStdString();
    // One entry each: the skipped task is not told of again at later ticks, nor the others. Other tests'
    // programs share the journal and number their tasks alike, so the titles tell ours apart.
    const std::pair<const QString*, const char*> ours[] = {
        {&ranLines, "\"ran task\""}, {&failedLines, "\"failed task\""}, {&skippedLines, "\"skipped task\""}};
    for (const auto& [lines, title] : ours)
        EXPECT_EQ(lines->count(QString::fromLatin1(title)), 1) << lines->toStdString();
    EXPECT_FALSE(std::filesystem::exists(folder.file("skipped")));
}

} // namespace
} // namespace orvanta::test
