#include "platform/linux/linux_keep_awake.h"
#include "platform/linux/x11_screen_saver.h"
#include "tests/platform/mock_logind.h"
#include "tests/platform/scoped_env.h"
#include "tests/platform/test_environment.h"

#include <chrono>
#include <gtest/gtest.h>
#include <thread>

namespace orvanta::platform::linux_backend {
namespace {

using namespace std::chrono_literals;

// The mock drops a lock when it sees the descriptor's other end close, which takes a moment.
std::size_t waitForInhibitorCount(test::MockLogind& logind, std::size_t wanted) {
    std::size_t count = SIZE_MAX;
    for (int i = 0; i < 100; ++i) {
        const auto locks = logind.inhibitors();
        count = locks ? locks->size() : SIZE_MAX;
        if (count == wanted) break;
        std::this_thread::sleep_for(20ms);
    }
    return count;
}

class NoDisplay : public DisplayWaker {
  public:
    bool wakeDisplay() override { return false; }
};

TEST(LinuxKeepAwake, HoldsOneLogindLockUntilReleased) {
    test::ExclusiveLogindUse turn;
    test::MockLogind logind;
    ORVANTA_REQUIRE_RESOURCE(logind.present(), "no logind on the system bus");
    ASSERT_EQ(waitForInhibitorCount(logind, 0), 0u) << "another test left a lock behind";
    NoDisplay display;
    LinuxKeepAwake keepAwake(display);

    ASSERT_TRUE(keepAwake.holdSystemAwake());
    EXPECT_TRUE(keepAwake.holdingSystemAwake());
    EXPECT_TRUE(keepAwake.holdSystemAwake()) << "holding again is fine";
    const auto locks = logind.inhibitors();
    ASSERT_TRUE(locks);
    ASSERT_EQ(locks->size(), 1u) << "holding again must not take a second lock";
    EXPECT_EQ(locks->at(0).what, "sleep:idle");
    EXPECT_EQ(locks->at(0).who, "Orvanta");
    EXPECT_EQ(locks->at(0).mode, "block");

    keepAwake.release();
    EXPECT_FALSE(keepAwake.holdingSystemAwake());
    EXPECT_EQ(waitForInhibitorCount(logind, 0), 0u) << "the lock outlived its release";
    keepAwake.release(); // releasing again is harmless
}

TEST(LinuxKeepAwake, WithoutABusNothingIsHeld) {
    test::ScopedEnv noBus("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=/nonexistent/orvanta-test-bus");
    NoDisplay display;
    LinuxKeepAwake keepAwake(display, 500ms);
    EXPECT_FALSE(keepAwake.holdSystemAwake());
    EXPECT_FALSE(keepAwake.holdingSystemAwake());
}

TEST(X11ScreenSaver, WakingTheDisplayCountsAsActivity) {
    X11ScreenSaver screen;
    const auto idle = screen.userIdleTime();
    ORVANTA_REQUIRE_RESOURCE(idle.has_value(), "no X display with the MIT-SCREEN-SAVER extension");

    // Other tests may type on the same display; wait for a quiet moment.
    std::optional<std::chrono::milliseconds> before;
    for (int i = 0; i < 60 && !(before && *before >= 300ms); ++i) {
        std::this_thread::sleep_for(50ms);
        before = screen.userIdleTime();
    }
    ASSERT_TRUE(before && *before >= 300ms) << "the idle counter does not run";
    ASSERT_TRUE(screen.wakeDisplay());
    const auto after = screen.userIdleTime();
    ASSERT_TRUE(after);
    EXPECT_LT(*after, 300ms);
}

} // namespace
} // namespace orvanta::platform::linux_backend
