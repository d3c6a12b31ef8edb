#include "app/platform_backends.h"
#include "platform/fake/fake_log.h"

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
