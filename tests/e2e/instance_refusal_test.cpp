#include "tests/e2e/program_run.h"
#include "tests/support/temp_folder.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>

namespace orvanta::test {
namespace {

using namespace std::chrono_literals;

// An X display of the test's own for the refused copy. A copy ended through its error box leaves the
// shared test display so that a later test's program no longer takes Return in its dialogs, for a cause
// not found in the X server's state; on a display of its own it cannot reach them.
class OwnDisplay {
  public:
    OwnDisplay() {
        server_.start(QStringLiteral("Xvfb"),
                      {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-nolisten"),
                       QStringLiteral("tcp"), QStringLiteral("-screen"), QStringLiteral("0"),
                       QStringLiteral("800x600x24")});
        if (!server_.waitForStarted()) return;
        QByteArray number;
        for (int i = 0; i < 50 && !number.contains('\n'); ++i) {
            server_.waitForReadyRead(100);
            number += server_.readAllStandardOutput();
        }
        if (number.trimmed().isEmpty()) return;
        if (const char* shared = std::getenv("DISPLAY")) shared_ = shared;
        name_ = ":" + number.trimmed().toStdString();
        setenv("DISPLAY", name_.c_str(), 1);
    }
    ~OwnDisplay() {
        if (!shared_.empty()) setenv("DISPLAY", shared_.c_str(), 1);
        server_.kill();
        server_.waitForFinished();
    }
    bool ready() const { return !name_.empty(); }

  private:
    QProcess server_;
    std::string name_, shared_;
};

// A lock that cannot be taken (here a link another user planted where the lock file belongs): no copy
// may think it is alone, or each would fire every task once more.
TEST(InstanceRefusal, WithoutAUsableLockTheProgramSaysSoEndsAndRunsNothing) {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no X display: run under scripts/platform-test-env.sh";
    TempFolder folder;
    ProgramHome home{folder.path()};
    home.WriteSettings("[Option]\nmfirst=0\n");
    const std::string lock = folder.file("run/TalvenorScheduler.lock");
    std::filesystem::create_symlink(folder.file("elsewhere"), lock);

    const OwnDisplay display;
    ASSERT_TRUE(display.ready()) << "Xvfb did not start";
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

    // The user closes the box; the copy ends with a failure status. The box is mapped a moment after the
    // line on stderr.
    QStringList boxes;
    EXPECT_TRUE(WaitUntil([&] { return !(boxes = VisibleMainWindows(copy.processId())).isEmpty(); }, 10s));
    for (const QString& box : boxes)
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
