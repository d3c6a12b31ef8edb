#include "app/platform_backends.h"
#include "platform/fake/fake_log.h"
#include "tests/platform/scoped_env.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <future>
#include <gtest/gtest.h>
#include <optional>
#include <string>

namespace {

using namespace std::chrono_literals;

// Restores $DISPLAY however the test ends.
class DisplayVariable {
  public:
    DisplayVariable() {
        if (const char* value = std::getenv("DISPLAY")) saved_ = value;
    }
    ~DisplayVariable() {
        if (saved_)
            setenv("DISPLAY", saved_->c_str(), 1);
        else
            unsetenv("DISPLAY");
    }

  private:
    std::optional<std::string> saved_;
};

} // namespace

// A service left unmade would be a null reference deep in the start-up; every one is there, and the
// termination watch is the one that listens for the signal.
TEST(LinuxPlatformBackends, EveryServiceIsMadeAndATerminationSignalReachesTheWatch) {
    orvanta::platform::fake::RecordingLog log;
    const auto b = orvanta::app::MakePlatformBackends(log);
    ASSERT_NE(b, nullptr);
    EXPECT_TRUE(b->shared);
    EXPECT_TRUE(b->clock && b->paths && b->registry && b->power && b->locale && b->wakeTimers);
    EXPECT_TRUE(b->keepAwake && b->resumeMonitor && b->instance && b->memoryTrim && b->sessionPower);
    EXPECT_TRUE(b->launcher && b->processes && b->sound && b->globalHotkeys && b->syntheticInput);
    EXPECT_TRUE(b->macroHooks && b->resumePassword && b->playbackThreadTuning);
    EXPECT_EQ(std::filesystem::path(b->paths->executablePath()).filename(), "platform_linux_tests");
    EXPECT_GE(b->clock->now().year, 2020);

    std::promise<void> asked;
    auto askedFuture = asked.get_future();
    auto watch = b->watchTermination([&] { asked.set_value(); });
    ASSERT_TRUE(watch);
    std::raise(SIGTERM);
    EXPECT_EQ(askedFuture.wait_for(5s), std::future_status::ready);
    watch.reset();
}

TEST(LinuxPlatformBackends, TheCommandLineGetsItsServicesAndAMacroPlaybackKnowsWhetherThereIsADisplay) {
    orvanta::platform::fake::RecordingLog log;
    const auto line = orvanta::app::MakeCommandLineBackends(log);
    ASSERT_NE(line, nullptr);
    EXPECT_TRUE(line->clock && line->paths && line->sessionPower && line->launcher && line->processes &&
                line->sound);
    ASSERT_TRUE(orvanta::app::kCommandLinePlaysMacros);

    DisplayVariable keep;
    ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "run under the test desktop";
    const auto onDisplay = orvanta::app::MakeMacroPlaybackBackends(log);
    ASSERT_NE(onDisplay, nullptr);
    EXPECT_TRUE(onDisplay->inputAvailable);
    EXPECT_TRUE(onDisplay->input && onDisplay->hotkeys && onDisplay->threadTuning &&
                onDisplay->watchTermination);

    unsetenv("DISPLAY");
    EXPECT_FALSE(orvanta::app::MakeMacroPlaybackBackends(log)->inputAvailable);
}

// Under a Wayland session the X display is XWayland: the X grabs and XTEST would reach its windows only,
// so the program gets backends that say so instead, and the features name the reason.
TEST(LinuxPlatformBackends, UnderWaylandTheXBackendsAreNotUsedAgainstXWayland) {
    ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "run under the test desktop";
    orvanta::platform::fake::RecordingLog log;
    {
        const auto x11 = orvanta::app::MakePlatformBackends(log);
        ASSERT_TRUE(x11->features);
        EXPECT_TRUE(x11->features->answer(orvanta::platform::DesktopFeature::GlobalHotkeys).available);
        EXPECT_EQ(x11->globalHotkeys->registerHotkey(orvanta::platform::kHotkeyAlt, 'J', 1),
                  orvanta::platform::HotkeyRegistration::Registered);
        x11->globalHotkeys->unregisterHotkey(1);
    }

    const orvanta::test::ScopedEnv session("XDG_SESSION_TYPE", "wayland");
    const orvanta::test::ScopedEnv display("WAYLAND_DISPLAY", "wayland-test-absent");
    const auto wayland = orvanta::app::MakePlatformBackends(log);
    for (const auto feature :
         {orvanta::platform::DesktopFeature::GlobalHotkeys, orvanta::platform::DesktopFeature::MacroPlayback,
          orvanta::platform::DesktopFeature::MacroRecording}) {
        const auto answer = wayland->features->answer(feature);
        EXPECT_FALSE(answer.available);
        EXPECT_NE(answer.reason.find("Wayland"), std::string::npos) << answer.reason;
    }
    EXPECT_EQ(wayland->globalHotkeys->registerHotkey(orvanta::platform::kHotkeyAlt, 'J', 1),
              orvanta::platform::HotkeyRegistration::Unavailable);
    EXPECT_EQ(wayland->syntheticInput->cursorPos(), std::nullopt) << "XTEST on XWayland would answer one";
    EXPECT_FALSE(wayland->trayHosts->current().embedding) << "trayer's XEmbed tray takes no Wayland window";

    const auto player = orvanta::app::MakeMacroPlaybackBackends(log);
    EXPECT_FALSE(player->inputAvailable);
    EXPECT_NE(player->inputUnavailableReason.find("RemoteDesktop portal"), std::string::npos)
        << player->inputUnavailableReason;
}
