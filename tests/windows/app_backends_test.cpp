#include "app/platform_backends.h"
#include "data/settings/data_folder.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <future>
#include <gtest/gtest.h>
#include <thread>
#include <windows.h>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

// Ends the bundle on another thread: a backend thread that never ends would otherwise hang the test
// program until CTest's own limit.
void DestroyWithin(std::unique_ptr<orvanta::app::PlatformBackends> backends, std::chrono::seconds limit) {
    std::packaged_task<void()> end([&] { backends.reset(); });
    auto ended = end.get_future();
    std::thread ender(std::move(end));
    if (ended.wait_for(limit) != std::future_status::ready) {
        ADD_FAILURE() << "the backends did not end within " << limit.count() << " s";
        std::fflush(nullptr);
        std::_Exit(1);
    }
    ender.join();
}

} // namespace

// Every service the program is given answers an ordinary request; nothing here shuts down, suspends, locks
// or starts a program.
TEST(WindowsPlatformBackends, EveryServiceAnswersAndTheWholeEndsCleanly) {
    orvanta::platform::StderrLog log("windows_app_backends_test");
    auto backends = orvanta::app::MakePlatformBackends(log);
    ASSERT_NE(backends, nullptr);

    const auto now = backends->clock->now();
    EXPECT_GE(now.year, 2020);
    EXPECT_TRUE(now.month >= 1 && now.month <= 12);

    auto& paths = *backends->paths;
    EXPECT_EQ(fs::path(paths.executablePath()).filename().string(), "windows_app_tests.exe");
    const std::string dataFolder = orvanta::data::ResolveDataFolder(paths);
    EXPECT_TRUE(fs::is_directory(dataFolder)) << dataFolder;

    auto& registry = *backends->registry;
    const std::string key = "Software\\OrvantaBackendsTest";
    ASSERT_TRUE(registry.writeString(key, "Probe", "value one"));
    EXPECT_EQ(registry.readString(key, "Probe"), "value one");
    registry.deleteValue(key, "Probe");
    EXPECT_EQ(registry.readString(key, "Probe"), "");
    RegDeleteTreeA(HKEY_CURRENT_USER, key.c_str());

    const auto line = backends->power->acLineStatus();
    EXPECT_TRUE(line == orvanta::platform::AcLineStatus::Offline ||
                line == orvanta::platform::AcLineStatus::Online ||
                line == orvanta::platform::AcLineStatus::Unknown);
    EXPECT_EQ(backends->locale->abbreviatedLanguageName().size(), 3u);

    std::atomic<bool> fired{false};
    auto timer = backends->wakeTimers->create("backendstest", false);
    ASSERT_NE(timer, nullptr);
    timer->setOnFired([&] { fired = true; });
    ASSERT_TRUE(timer->armAfter(50ms));
    for (int i = 0; i < 100 && !fired; ++i)
        std::this_thread::sleep_for(50ms);
    EXPECT_TRUE(fired) << "the timer fired";
    ASSERT_TRUE(timer->armAfter(1h));
    timer->cancel();
    timer.reset();

    EXPECT_FALSE(backends->keepAwake->holdingSystemAwake());
    EXPECT_TRUE(backends->resumeMonitor->start([](const orvanta::platform::ResumeEvent&) {}));
    EXPECT_TRUE(backends->instance->claim());
    EXPECT_EQ(backends->instance->handOverAddress(), orvanta::platform::kInstanceName);
    backends->memoryTrim->trimWorkingSet();
    EXPECT_TRUE(backends->sessionPower->enableShutdownPrivilege().enabled);
    // No journal here: reading the run history says so rather than answering an empty history.
    EXPECT_FALSE(backends->runHistory->read({}).error.empty());

    const auto processes = backends->processes->listProcesses();
    ASSERT_TRUE(processes.has_value());
    EXPECT_TRUE(std::any_of(processes->begin(), processes->end(), [](const auto& p) {
        return p.id == static_cast<std::int64_t>(GetCurrentProcessId());
    }));
    // Its answer depends on the sound device; the call must come back.
    backends->sound->beep();

    // Windows lets every program have what a Wayland desktop may withhold.
    ASSERT_TRUE(backends->features);
    for (const auto feature : orvanta::platform::kAllDesktopFeatures)
        EXPECT_TRUE(backends->features->answer(feature).available);

    auto& hotkeys = *backends->globalHotkeys;
    hotkeys.setOnPressed([](int, unsigned, unsigned) {});
    // Ctrl+Alt+Shift+F9: unlikely to be taken on the test desktop.
    EXPECT_EQ(hotkeys.registerHotkey(orvanta::platform::kHotkeyControl | orvanta::platform::kHotkeyAlt |
                                         orvanta::platform::kHotkeyShift,
                                     VK_F9, 7),
              orvanta::platform::HotkeyRegistration::Registered);
    hotkeys.unregisterHotkey(7);
    EXPECT_TRUE(backends->syntheticInput->cursorPos().has_value());

    auto library = backends->macroHooks->LoadHookLibrary();
    ASSERT_NE(library, nullptr) << "the hook library beside the program";
    EXPECT_TRUE(library->hasHookProcedures());
    library.reset();
    (void)backends->resumePassword->passwordRequired();

    // The Windows tuning, not the Linux one or none: it raises the playback thread's priority.
    const auto tune = backends->playbackThreadTuning;
    ASSERT_TRUE(tune);
    int priority = THREAD_PRIORITY_ERROR_RETURN;
    std::thread playback([&] {
        tune();
        priority = GetThreadPriority(GetCurrentThread());
    });
    playback.join();
    EXPECT_EQ(priority, THREAD_PRIORITY_HIGHEST);

    // The resume monitor is still running and the instance claimed: both end with the bundle.
    DestroyWithin(std::move(backends), std::chrono::seconds(20));
    HANDLE mutex = OpenMutexA(SYNCHRONIZE, FALSE, orvanta::platform::kInstanceName);
    EXPECT_EQ(mutex, nullptr) << "the instance claim ended with the bundle";
    if (mutex) CloseHandle(mutex);
}
