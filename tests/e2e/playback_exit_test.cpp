#include "data/task_store.h"
#include "platform/linux/linux_clock.h"
#include "tests/e2e/program_run.h"
#include "tests/support/temp_folder.h"

#include <QElapsedTimer>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

// Xlib's macros clash with Qt's headers, so it comes after them.
#include <X11/Xlib.h>
#include <X11/keysym.h>

namespace orvanta::test {
namespace {

using namespace std::chrono_literals;

// What the X server counts as held right now: keys and pointer buttons of every client.
class HeldInput {
  public:
    HeldInput() : display_(XOpenDisplay(nullptr)) {}
    ~HeldInput() {
        if (display_) XCloseDisplay(display_);
    }
    bool ready() const { return display_ != nullptr; }
    bool shiftHeld() {
        char keys[32] = {};
        XQueryKeymap(display_, keys);
        const KeyCode code = XKeysymToKeycode(display_, XK_Shift_L);
        return code && (keys[code / 8] & (1 << (code % 8)));
    }
    bool leftButtonHeld() {
        Window root = 0, child = 0;
        int rx = 0, ry = 0, wx = 0, wy = 0;
        unsigned mask = 0;
        XQueryPointer(display_, DefaultRootWindow(display_), &root, &child, &rx, &ry, &wx, &wy, &mask);
        return mask & Button1Mask;
    }

  private:
    Display* display_;
};

// A hotkey task whose macro holds Shift and the left button through a long pause.
class PlaybackAtExit : public ::testing::TestWithParam<int> {
  protected:
    TempFolder folder;
    ProgramHome home{folder.path()};
    QProcess program;
    HeldInput held;

    void SetUp() override {
        if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no X display: run under scripts/platform-test-env.sh";
        ASSERT_TRUE(held.ready());
        home.WriteSettings("[Option]\nmfirst=0\n");
        const std::string macro = folder.file("hold.mco");
        std::ofstream(macro, std::ios::binary)
            << "0 MOUSE_MOVE 3 3\r\n400 KEY_DOWN 16\r\n400 MOUSE_LEFTDOWN 3 3\r\n20000 MOUSE_LEFTUP 3 3\r\n"
               "20000 KEY_UP 16\r\n";
        platform::linux_backend::LinuxClock clock;
        const std::string database = home.dataFolder() + "/task.db";
        ASSERT_TRUE(data::SeedTaskDatabase(database));
        data::TaskRecord task;
        task.title = "hold keys";
        task.dateMode = data::kHotkey;
        task.time = "9:00:00";
        task.endTime = "23:59:59";
        task.hotkey1 = 0; // Alt
        task.hotkey2 = 'J';
        task.macro = macro;
        data::TaskStore(database, clock).InsertTask(task);
    }
    void TearDown() override {
        if (program.state() != QProcess::NotRunning) {
            program.kill();
            program.waitForFinished();
        }
        // Whatever the program left held would disturb the tests after this one.
        RunTool("xdotool", {"keyup", "shift", "mouseup", "1"});
    }
};

TEST_P(PlaybackAtExit, ATerminationSignalDuringAPauseEndsTheProgramAndLetsGoOfKeysAndButtons) {
    home.Prepare(program);
    program.start();
    ASSERT_TRUE(program.waitForStarted());
    ASSERT_TRUE(WaitUntil([&] { return VisibleMainWindows(program.processId()).size() == 1; }, 15s));
    ASSERT_TRUE(WaitUntil(
        [&] {
            if (!held.shiftHeld()) RunTool("xdotool", {"key", "alt+j"});
            return WaitUntil([&] { return held.shiftHeld() && held.leftButtonHeld(); }, 1500ms);
        },
        15s))
        << "the macro did not start: " << program.readAllStandardError().toStdString();

    QElapsedTimer clock;
    clock.start();
    ASSERT_EQ(kill(static_cast<pid_t>(program.processId()), GetParam()), 0);
    ASSERT_TRUE(program.waitForFinished(5000)) << "the program lingers in the macro's pause";
    const qint64 took = clock.elapsed();
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0);
    EXPECT_LT(took, 2000);
    EXPECT_FALSE(held.shiftHeld());
    EXPECT_FALSE(held.leftButtonHeld());
}

INSTANTIATE_TEST_SUITE_P(Signals, PlaybackAtExit, ::testing::Values(SIGTERM, SIGINT), [](const auto& info) {
    return std::string(info.param == SIGTERM ? "Term" : "Int");
});

} // namespace
} // namespace orvanta::test
