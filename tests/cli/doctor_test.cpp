#include "tests/cli/cli_runner.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <sstream>

namespace orvanta::cli_test {
namespace {

std::string LineAbout(const std::string& report, const std::string& subject) {
    std::istringstream lines(report);
    for (std::string line; std::getline(lines, line);)
        if (line.find(subject + ": ") == 8) return line;
    return "<no line about " + subject + ">";
}

// The real probe on the test desktop (its X display, tray, buses and logind stand-in), and the same with
// the display taken away, as in a text console or a service.
TEST(Doctor, TellsWhatTheDesktopOffersAndFailsForATaskThatNeedsWhatIsGone) {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "needs the test desktop";
    Sandbox box;
    const CliResult added =
        box.run({"add", "--trigger", "hotkey", "--hotkey", "alt+Q", "--title", "mail", "--message", "m"});
    ASSERT_EQ(added.exitCode, 0) << added.err;
    const std::string id = added.out.substr(0, added.out.find('\n'));

    const CliResult here = box.run({"doctor"});
    EXPECT_EQ(here.exitCode, 0) << here.out << here.err;
    EXPECT_EQ(LineAbout(here.out, "global hotkeys").substr(0, 8), "ok      ") << here.out;
    EXPECT_EQ(LineAbout(here.out, "logind").substr(0, 8), "ok      ") << here.out;
    EXPECT_EQ(LineAbout(here.out, "shut down").substr(0, 8), "ok      ") << here.out;
    EXPECT_EQ(LineAbout(here.out, "tray host").substr(0, 8), "ok      ") << here.out;

    const std::string display = std::getenv("DISPLAY");
    unsetenv("DISPLAY");
    const CliResult console = box.run({"doctor"});
    setenv("DISPLAY", display.c_str(), 1);
    EXPECT_EQ(console.exitCode, 1) << console.out;
    const std::string hotkeys = LineAbout(console.out, "global hotkeys");
    EXPECT_EQ(hotkeys.substr(0, 8), "missing ") << console.out;
    EXPECT_NE(hotkeys.find("needed by task " + id + " \"mail\""), std::string::npos) << hotkeys;
    EXPECT_EQ(LineAbout(console.out, "macro recording").substr(0, 8), "note    ") << "no task records";
}

// The same desktop told it is a Wayland session: XWayland's display is seen and not counted on.
TEST(Doctor, UnderAWaylandSessionListsWhatCannotWorkThereAndWhy) {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "needs the test desktop";
    Sandbox box;
    setenv("XDG_SESSION_TYPE", "wayland", 1);
    setenv("WAYLAND_DISPLAY", "wayland-0", 1);
    const CliResult report = box.run({"doctor"});
    setenv("XDG_SESSION_TYPE", "x11", 1);
    unsetenv("WAYLAND_DISPLAY");
    EXPECT_EQ(report.exitCode, 0) << "no task needs anything: " << report.out;
    const std::string session = LineAbout(report.out, "session");
    EXPECT_NE(session.find("Wayland (XDG_SESSION_TYPE=wayland), Wayland display wayland-0, X display"),
              std::string::npos)
        << session;
    EXPECT_NE(session.find("through XWayland"), std::string::npos) << session;
    EXPECT_EQ(LineAbout(report.out, "desktop portals").substr(0, 8), "note    ") << report.out;
    for (const char* feature :
         {"global hotkeys", "macro playback", "macro recording", "monitor off", "idle time"}) {
        const std::string line = LineAbout(report.out, feature);
        EXPECT_EQ(line.substr(0, 8), "note    ") << line;
        EXPECT_NE(line.find("Wayland"), std::string::npos) << line;
    }
}

} // namespace
} // namespace orvanta::cli_test
