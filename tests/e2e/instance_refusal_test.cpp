#include "tests/e2e/program_run.h"
#include "tests/support/temp_folder.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>

namespace orvanta::test {
namespace {

using namespace std::chrono_literals;

// A lock that cannot be taken (here a link another user planted where the lock file belongs): no copy
// may think it is alone, or each would fire every task once more.
TEST(InstanceRefusal, WithoutAUsableLockTheProgramSaysSoEndsAndRunsNothing) {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no X display: run under scripts/platform-test-env.sh";
    TempFolder folder;
    ProgramHome home{folder.path()};
    home.WriteSettings("[Option]\nmfirst=0\n");
    const std::string lock = folder.file("run/TalvenorScheduler.lock");
    std::filesystem::create_symlink(folder.file("elsewhere"), lock);

    QProcess copy;
    home.Prepare(copy);
    copy.start();
    ASSERT_TRUE(copy.waitForStarted());

    QByteArray told;
    EXPECT_TRUE(WaitUntil(
        [&] {
            copy.waitForReadyRead(100);
            told += copy.readAllStandardError();
            return told.contains("only one copy");
        },
        15s))
        << told.toStdString();
    EXPECT_TRUE(told.contains(QByteArray::fromStdString(lock))) << told.toStdString();
    EXPECT_FALSE(std::filesystem::exists(folder.file("elsewhere"))) << "the link was followed";
    // Only the error box: the task database is not even made, let alone scheduled.
    EXPECT_FALSE(std::filesystem::exists(home.dataFolder() + "/task.db"));

    // The user closes the box; the copy ends with a failure status.
    for (const QString& box : VisibleMainWindows(copy.processId()))
        RunTool("xdotool", {"key", "--window", box, "Return"});
    const bool ended = copy.waitForFinished(10000);
    if (!ended) {
        copy.kill();
        copy.waitForFinished();
    }
    EXPECT_TRUE(ended);
    EXPECT_EQ(copy.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(copy.exitCode(), 1);
}

} // namespace
} // namespace orvanta::test
