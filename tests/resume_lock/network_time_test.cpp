#include "platform/linux/resume_lock/command_runner.h"
#include "tests/platform/test_environment.h"
#include "tools/orvanta_settings/settings_command.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <spawn.h>
#include <sys/wait.h>
#include <systemd/sd-bus.h>
#include <thread>

extern char** environ;

namespace orvanta::settings_tool {
namespace {

constexpr const char* kService = "org.freedesktop.timedate1";
constexpr const char* kPath = "/org/freedesktop/timedate1";

// A mock timedated on the (private) system bus, network time off at first; ended by its process id.
class MockTimedated {
  public:
    MockTimedated() {
        sd_bus_open_system(&bus_);
        const char* argv[] = {"/usr/bin/python3", "-m", "dbusmock",          "--system", "--template",
                              "timedated",        "-p", R"({"NTP": false})", nullptr};
        if (posix_spawn(&pid_, argv[0], nullptr, nullptr, const_cast<char**>(argv), environ) != 0) pid_ = -1;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (pid_ > 0 && !(ready_ = Owned()) && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ~MockTimedated() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            while (waitpid(pid_, nullptr, 0) < 0 && errno == EINTR) {
            }
        }
        sd_bus_flush_close_unref(bus_);
    }
    MockTimedated(const MockTimedated&) = delete;
    MockTimedated& operator=(const MockTimedated&) = delete;

    bool ready() const { return ready_; }
    // nullopt when the property cannot be read.
    std::optional<bool> ntp() const {
        int value = 0;
        sd_bus_error error = SD_BUS_ERROR_NULL;
        const int r =
            sd_bus_get_property_trivial(bus_, kService, kPath, kService, "NTP", &error, 'b', &value);
        sd_bus_error_free(&error);
        if (r < 0) return std::nullopt;
        return value != 0;
    }

  private:
    bool Owned() const {
        sd_bus_message* reply = nullptr;
        int owned = 0;
        if (sd_bus_call_method(bus_, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
                               "NameHasOwner", nullptr, &reply, "s", kService) >= 0)
            sd_bus_message_read(reply, "b", &owned);
        sd_bus_message_unref(reply);
        return owned != 0;
    }

    sd_bus* bus_ = nullptr;
    pid_t pid_ = -1;
    bool ready_ = false;
};

TEST(NetworkTime, TwoTurnsOnSynchronisationThroughTimedated) {
    ORVANTA_REQUIRE_RESOURCE(std::getenv("DBUS_SYSTEM_BUS_ADDRESS"), "no private system bus");
    MockTimedated timedated;
    ASSERT_TRUE(timedated.ready());
    ASSERT_EQ(timedated.ntp(), false);
    EXPECT_EQ(platform::linux_backend::RunCommand({ORVANTA_SETTINGS_PROGRAM, "2"}).exitStatus, kSucceeded);
    EXPECT_EQ(timedated.ntp(), true);
}

} // namespace
} // namespace orvanta::settings_tool
