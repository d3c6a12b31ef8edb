// orvantactl run: a task's actions carried out for real, from the command line.
#include "tests/cli/cli_runner.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <optional>
#include <signal.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <utility>

// Xlib's macros clash with other headers, so it comes last.
#include <X11/Xlib.h>

namespace orvanta::cli_test {
namespace {

namespace fs = std::filesystem;

// The marker program writes its arguments, NUL-separated, to <marker dir>/<its name>.argv.
class RunTest : public ::testing::Test {
  protected:
    Sandbox sandbox;
    std::string markers = sandbox.root() + "/markers";
    std::string marker = sandbox.root() + "/bin/marker";

    void SetUp() override {
        fs::create_directories(markers);
        fs::create_directories(sandbox.root() + "/bin");
        fs::copy_file(ARGV_MARKER_PATH, marker);
        setenv("ORVANTA_MARKER_DIR", markers.c_str(), 1);
    }
    void TearDown() override { unsetenv("ORVANTA_MARKER_DIR"); }

    std::string Add(std::vector<std::string> args) {
        args.insert(args.begin(), "add");
        const CliResult r = sandbox.run(args);
        EXPECT_EQ(r.exitCode, 0) << r.err;
        return r.out.substr(0, r.out.find('\n'));
    }

    // The started program runs detached: wait for its file.
    std::vector<std::string> MarkerArguments(const std::string& name) {
        const std::string path = markers + "/" + name + ".argv";
        for (int i = 0; i < 100 && !fs::exists(path); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        std::vector<std::string> args;
        const std::string bytes = FileBytes(path);
        if (bytes == "<missing>") return {"<missing>"};
        std::size_t start = 0;
        for (std::size_t end; (end = bytes.find('\0', start)) != std::string::npos; start = end + 1)
            args.push_back(bytes.substr(start, end - start));
        return args;
    }
};

TEST_F(RunTest, ParametersReachTheProgramAsExactArgumentsAndNothingElseRuns) {
    const std::string canary = sandbox.root() + "/canary";
    WriteFile(canary, "still here");
    const std::string id =
        Add({"--trigger", "daily", "--start", "7:00", "--message", "line one\nline two", "--launch", marker,
             "--params", "\"a b\" ; rm -rf " + canary + " 'q' $HOME `x`"});
    const CliResult r = sandbox.run({"run", id});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    // The hotkey order: the message first, then the program; each named as it starts.
    const auto message = r.out.find("run: show the message");
    const auto launch = r.out.find("run: launch " + marker);
    EXPECT_NE(message, std::string::npos) << r.out;
    EXPECT_NE(r.out.find("line one"), std::string::npos) << r.out;
    EXPECT_LT(message, launch) << r.out;
    EXPECT_EQ(MarkerArguments("marker"),
              (std::vector<std::string>{marker, "a b", ";", "rm", "-rf", canary, "'q'", "$HOME", "`x`"}));
    EXPECT_EQ(FileBytes(canary), "still here");
}

TEST_F(RunTest, OpenGoesToTheDesktopOpener) {
    // A stand-in opener first on PATH records what it was asked to open.
    fs::copy_file(ARGV_MARKER_PATH, sandbox.root() + "/bin/xdg-open");
    const std::string path = std::string(sandbox.root() + "/bin:") + std::getenv("PATH");
    setenv("PATH", path.c_str(), 1);
    const std::string id =
        Add({"--trigger", "daily", "--start", "7:00", "--open-url", "https://example.org/?a=1&b=2"});
    const CliResult r = sandbox.run({"run", id});
    unsetenv("PATH");
    setenv("PATH", path.substr(path.find(':') + 1).c_str(), 1);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("run: open the address https://example.org/?a=1&b=2"), std::string::npos) << r.out;
    const auto args = MarkerArguments("xdg-open");
    ASSERT_EQ(args.size(), 2u);
    EXPECT_EQ(args[1], "https://example.org/?a=1&b=2");
}

pid_t Start(const std::string& program) {
    const pid_t pid = fork();
    if (pid == 0) {
        execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    return pid;
}

// Whether the child ended, reaping it; waits up to about two seconds.
bool Ended(pid_t pid) {
    for (int i = 0; i < 40; ++i) {
        if (waitpid(pid, nullptr, WNOHANG) == pid) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}

TEST_F(RunTest, TerminateEndsEveryCopyOfTheNamedProgramOnly) {
    const std::string victim = sandbox.root() + "/bin/orvanta-victim";
    const std::string bystander = sandbox.root() + "/bin/orvanta-bystander";
    fs::copy_file(SLEEPER_PATH, victim);
    fs::copy_file(SLEEPER_PATH, bystander);
    const pid_t first = Start(victim), second = Start(victim), other = Start(bystander);
    const std::string id = Add({"--trigger", "daily", "--start", "7:00", "--terminate", "ORVANTA-VICTIM"});
    const CliResult r = sandbox.run({"run", id});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(Ended(first));
    EXPECT_TRUE(Ended(second));
    EXPECT_EQ(waitpid(other, nullptr, WNOHANG), 0); // still running
    kill(other, SIGKILL);
    waitpid(other, nullptr, 0);
}

TEST_F(RunTest, UnknownTasksAndMacrosThatCannotStartFail) {
    CliResult r = sandbox.run({"run", "99"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "orvantactl: no task with ID 99\n");

    const std::string id =
        Add({"--trigger", "daily", "--start", "7:00", "--macro", "/nowhere.mco", "--launch", marker});
    r = sandbox.run({"run", id});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("could not be started (the macro file cannot be read: /nowhere.mco)"),
              std::string::npos)
        << r.err;
    EXPECT_EQ(r.out.find("run: launch"), std::string::npos) << r.out; // the launch after it never ran
}

// Where the X server has the pointer now; nullopt without a display.
std::optional<std::pair<int, int>> PointerNow() {
    Display* display = XOpenDisplay(nullptr);
    if (!display) return std::nullopt;
    Window root = 0, child = 0;
    int x = 0, y = 0, wx = 0, wy = 0;
    unsigned mask = 0;
    XQueryPointer(display, DefaultRootWindow(display), &root, &child, &x, &y, &wx, &wy, &mask);
    XCloseDisplay(display);
    return std::pair{x, y};
}

TEST_F(RunTest, AMacroPlaysOnTheDisplayAndTheCommandWaitsForIt) {
    if (!PointerNow()) GTEST_SKIP() << "needs an X display (scripts/platform-test-env.sh)";
    const std::string macro = sandbox.root() + "/move.mco";
    WriteFile(macro, "0 MOUSE_MOVE 5 5\r\n300 MOUSE_MOVE 123 77\r\n");
    const std::string id = Add({"--trigger", "daily", "--start", "7:00", "--macro", macro});
    const auto before = std::chrono::steady_clock::now();
    const CliResult r = sandbox.run({"run", id});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("run: play the macro " + macro), std::string::npos) << r.out;
    EXPECT_GE(std::chrono::steady_clock::now() - before, std::chrono::milliseconds(300)) << "it did not wait";
    EXPECT_EQ(PointerNow(), (std::pair{123, 77}));
}

TEST_F(RunTest, WithoutADisplayAMacroFailsWithAClearMessage) {
    const std::string macro = sandbox.root() + "/move.mco";
    WriteFile(macro, "0 MOUSE_MOVE 5 5\r\n");
    const std::string id =
        Add({"--trigger", "daily", "--start", "7:00", "--macro", macro, "--launch", marker});
    const char* display = std::getenv("DISPLAY");
    const std::string saved = display ? display : "";
    unsetenv("DISPLAY");
    const CliResult r = sandbox.run({"run", id});
    if (display) setenv("DISPLAY", saved.c_str(), 1);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("there is no X display"), std::string::npos) << r.err;
    EXPECT_EQ(r.out.find("run: launch"), std::string::npos) << r.out;
}

TEST_F(RunTest, AnActionThatCouldNotStartMakesTheCommandFail) {
    const std::string id = Add({"--trigger", "daily", "--start", "7:00", "--launch", "/nonexistent/program"});
    const CliResult r = sandbox.run({"run", id});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("orvantactl: could not start /nonexistent/program"), std::string::npos) << r.err;
}

} // namespace
} // namespace orvanta::cli_test
