#include "platform/linux/actions/bus_requests.h"
#include "platform/linux/linux_tray_host_watch.h"
#include "tests/platform/scoped_env.h"
#include "tests/support/private_desktop.h"

#include <gtest/gtest.h>
#include <mutex>

namespace orvanta::test {
namespace {

namespace lx = platform::linux_backend;
using platform::TrayHosts;
using namespace std::chrono_literals;

// The watch on a display and a bus of the test's own, where panels come and go as the test says.
class TrayHostWatchTest : public testing::Test {
  protected:
    PrivateDisplay display;
    PrivateBus bus;
    std::unique_ptr<ScopedEnv> displayEnv, busEnv;
    std::mutex mutex;
    std::vector<TrayHosts> reported;

    void SetUp() override {
        ASSERT_FALSE(display.name().empty()) << "Xvfb did not start";
        ASSERT_FALSE(bus.address().empty()) << "dbus-daemon did not start";
        displayEnv = std::make_unique<ScopedEnv>("DISPLAY", display.name().c_str());
        busEnv = std::make_unique<ScopedEnv>("DBUS_SESSION_BUS_ADDRESS", bus.address().c_str());
    }
    std::map<std::string, std::string> Desktop() const {
        return {{"DISPLAY", display.name()}, {"DBUS_SESSION_BUS_ADDRESS", bus.address()}};
    }
    void Listen(lx::LinuxTrayHostWatch& watch) {
        watch.watch([this](const TrayHosts& hosts) {
            std::lock_guard lock(mutex);
            reported.push_back(hosts);
        });
    }
    // Both the answer and the last change told come to `hosts`.
    bool Become(const lx::LinuxTrayHostWatch& watch, TrayHosts hosts) {
        const auto deadline = std::chrono::steady_clock::now() + 15s;
        while (std::chrono::steady_clock::now() < deadline) {
            // Asked outside the lock: the watch holds its own while it tells a change.
            const bool answered = watch.current() == hosts;
            {
                std::lock_guard lock(mutex);
                if (answered && !reported.empty() && reported.back() == hosts) return true;
            }
            std::this_thread::sleep_for(20ms);
        }
        return false;
    }
    std::unique_ptr<SpawnedProcess> Trayer() const {
        return std::make_unique<SpawnedProcess>(
            std::vector<std::string>{"trayer", "--edge", "top", "--align", "right", "--widthtype", "request"},
            Desktop());
    }
    std::unique_ptr<SpawnedProcess> StatusNotifierWatcher() const {
        auto watcher = std::make_unique<SpawnedProcess>(
            std::vector<std::string>{"/usr/bin/python3", std::string(ORVANTA_SOURCE_DIR) +
                                                             "/tests/support/status_notifier_watcher.py"},
            Desktop());
        EXPECT_FALSE(watcher->WaitForLine("ready", 20s).empty()) << "the stand-in watcher did not start";
        return watcher;
    }
};

TEST_F(TrayHostWatchTest, PanelsOfBothKindsAreSeenComingAndGoing) {
    lx::LinuxTrayHostWatch watch;
    EXPECT_EQ(watch.current(), TrayHosts{});
    Listen(watch);
    auto trayer = Trayer();
    EXPECT_TRUE(Become(watch, {true, false}));
    auto watcher = StatusNotifierWatcher();
    EXPECT_TRUE(Become(watch, {true, true}));
    trayer->Stop();
    EXPECT_TRUE(Become(watch, {false, true}));
    watcher->Stop();
    EXPECT_TRUE(Become(watch, {false, false}));
    // A panel that comes again is seen again.
    trayer = Trayer();
    EXPECT_TRUE(Become(watch, {true, false}));
}

TEST_F(TrayHostWatchTest, HostsThereFromTheStartAreTheFirstAnswer) {
    auto trayer = Trayer();
    auto watcher = StatusNotifierWatcher();
    // trayer takes the selection a moment after it starts.
    for (int i = 0; i < 150 && !lx::LinuxTrayHostWatch().current().embedding; ++i)
        std::this_thread::sleep_for(100ms);
    lx::LinuxTrayHostWatch watch;
    EXPECT_EQ(watch.current(), (TrayHosts{true, true}));
}

TEST_F(TrayHostWatchTest, AWatcherWithoutAHostShowsNothing) {
    // Something owns the watcher's name but no panel has registered as its host.
    SpawnedProcess bare({"/usr/bin/python3", "-m", "dbusmock", "--session", "org.kde.StatusNotifierWatcher",
                         "/StatusNotifierWatcher", "org.kde.StatusNotifierWatcher"},
                        Desktop());
    const lx::SystemBus session = lx::OpenSessionBus(2s);
    for (int i = 0; i < 200 && !lx::NameHasOwner(session.get(), "org.kde.StatusNotifierWatcher"); ++i)
        std::this_thread::sleep_for(100ms);
    ASSERT_TRUE(lx::NameHasOwner(session.get(), "org.kde.StatusNotifierWatcher"));
    lx::LinuxTrayHostWatch watch;
    EXPECT_FALSE(watch.current().statusNotifier);
}

TEST_F(TrayHostWatchTest, NoChangeIsToldAfterStop) {
    lx::LinuxTrayHostWatch watch;
    Listen(watch);
    watch.stop();
    auto trayer = Trayer();
    for (int i = 0; i < 150 && !watch.current().embedding; ++i)
        std::this_thread::sleep_for(100ms);
    EXPECT_TRUE(watch.current().embedding);
    std::lock_guard lock(mutex);
    EXPECT_TRUE(reported.empty());
}

} // namespace
} // namespace orvanta::test
