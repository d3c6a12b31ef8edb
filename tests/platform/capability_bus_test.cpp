#include "tests/support/run_program.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace orvanta::test {
namespace {

namespace fs = std::filesystem;

// The package gives the program CAP_WAKE_ALARM. For an ordinary user that makes every start a secure
// one, in which the C library hides the environment from secure_getenv; the program must still find the
// user's session bus, or notifications, the tray's watcher and a polite log-off all go quietly missing,
// and the programs its tasks start must get the environment the user has.
TEST(CapabilityStart, AProgramWithTheWakeCapabilityStillFindsTheUsersSessionBusAndEnvironment) {
    if (getuid() != 0) GTEST_SKIP() << "needs root to give a file a capability and run it as another user";
    char pattern[] = "/tmp/orvanta-capbus.XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const fs::path dir = pattern;
    struct Cleanup {
        fs::path dir;
        pid_t daemon = -1;
        ~Cleanup() {
            if (daemon > 0) {
                kill(daemon, SIGTERM);
                waitpid(daemon, nullptr, 0);
            }
            std::error_code ignored;
            fs::remove_all(dir, ignored);
        }
    } cleanup{dir};
    chmod(dir.c_str(), 0755);
    const fs::path probe = dir / "probe";
    fs::copy_file(ORVANTA_TEST_USER_BUS_PROBE, probe);
    chmod(probe.c_str(), 0755);
    ASSERT_EQ(RunProgram({"setcap", "cap_wake_alarm+ep", probe.string()}), 0) << "setcap failed";

    // A session bus of the unprivileged user, as a desktop session has.
    const fs::path busDir = dir / "bus";
    fs::create_directory(busDir);
    ASSERT_EQ(chown(busDir.c_str(), 65534, 65534), 0);
    const std::string address = "unix:path=" + (busDir / "socket").string();
    std::vector<std::string> daemonArgs{"setpriv",        "--reuid=65534",       "--regid=65534",
                                        "--clear-groups", "dbus-daemon",         "--session",
                                        "--nofork",       "--address=" + address};
    std::vector<char*> argv;
    for (auto& a : daemonArgs)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    ASSERT_EQ(posix_spawnp(&cleanup.daemon, argv[0], nullptr, nullptr, argv.data(), environ), 0);
    for (int i = 0; i < 100 && !fs::exists(busDir / "socket"); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    ASSERT_TRUE(fs::exists(busDir / "socket")) << "the user's bus did not start";

    const int status =
        RunProgram({"env", "DBUS_SESSION_BUS_ADDRESS=" + address, "TMPDIR=/tmp/orvanta-users-own", "setpriv",
                    "--reuid=65534", "--regid=65534", "--clear-groups", probe.string()});
    EXPECT_NE(status, 3) << "the start was not a secure one; the case is not reproduced";
    EXPECT_EQ(status, 0) << "1: the session bus was not found, 2: it did not answer, 4: the user's TMPDIR "
                            "is not back for the programs a task starts";
}

} // namespace
} // namespace orvanta::test
