#include "macros/macro_player.h"
#include "platform/windows/playback_thread_timing.h"
#include "platform/windows/windows_macro_hook.h"
#include "platform/windows/windows_resume_password_setting.h"

#include <chrono>
#include <cstring>
#include <gtest/gtest.h>
#include <optional>
#include <thread>
#include <vector>
#include <windows.h>

namespace wb = orvanta::platform::windows_backend;
using orvanta::platform::HookMessage;

namespace {

HWND MakeMessageWindow(const char* className, WNDPROC procedure) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = className;
    RegisterClassA(&windowClass);
    return CreateWindowExA(0, className, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, windowClass.hInstance,
                           nullptr);
}

// What the recorder window saw, decoded as the recorder decodes its native events. The hook library sends
// its messages, so they reach the window procedure rather than the queue.
wb::WindowsMacroHookPlatform* g_decoder = nullptr;
std::vector<HookMessage> g_decoded;

LRESULT CALLBACK RecorderProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    MSG native{window, message, wParam, lParam, 0, {}};
    if (g_decoder) {
        if (auto hook = g_decoder->DecodeHookMessage(wb::kNativeMessageEventType, &native)) {
            g_decoded.push_back(*hook);
            return 0;
        }
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

std::optional<HookMessage> DecodeNext(wb::WindowsMacroHookPlatform& platform, HWND window) {
    MSG msg{};
    if (!PeekMessageA(&msg, window, 0, 0, PM_REMOVE)) {
        ADD_FAILURE() << "no message was queued";
        return std::nullopt;
    }
    return platform.DecodeHookMessage(wb::kNativeMessageEventType, &msg);
}

} // namespace

TEST(WindowsMacroHookPlatform, LoadsTheHookLibraryFromTheProgramFolderOnly) {
    // The library lies beside the test programs, as it lies beside the program.
    wb::WindowsMacroHookPlatform platform;
    auto library = platform.LoadHookLibrary();
    ASSERT_NE(library, nullptr);
    EXPECT_TRUE(library->hasHookProcedures());

    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    wb::WindowsMacroHookPlatform elsewhere(temp);
    EXPECT_EQ(elsewhere.LoadHookLibrary(), nullptr) << "no library in that folder, none from the search path";
}

TEST(WindowsMacroHookPlatform, ABlockIsTheSameMemoryForEveryoneWhoOpensItsName) {
    wb::WindowsMacroHookPlatform platform;
    auto block = platform.CreateSharedBlock("OrvantaTestHookBlock");
    ASSERT_NE(block, nullptr);
    block->writeInt32(0, 0x12345678);
    block->writeInt32(12, -5);

    // Opened by name as the hook library opens it.
    HANDLE mapping = OpenFileMappingA(FILE_MAP_WRITE | FILE_MAP_READ, FALSE, "OrvantaTestHookBlock");
    ASSERT_NE(mapping, nullptr);
    auto* view = static_cast<unsigned char*>(MapViewOfFile(mapping, FILE_MAP_WRITE | FILE_MAP_READ, 0, 0, 0));
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view[0], 0x78) << "little-endian fields";
    std::int32_t y = 0;
    std::memcpy(&y, view + 12, 4);
    EXPECT_EQ(y, -5);
    const std::int32_t x = 640;
    std::memcpy(view + 8, &x, 4);
    EXPECT_EQ(block->readInt32(8), 640) << "a write through the other mapping shows";

    auto again = platform.CreateSharedBlock("OrvantaTestHookBlock");
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->readInt32(0), 0x12345678) << "creating an existing block opens it";
    EXPECT_EQ(block->readInt32(16), 0) << "nothing is read past the four fields";

    UnmapViewOfFile(view);
    CloseHandle(mapping);
}

TEST(WindowsMacroHookPlatform, DecodesOnlyTheHookMessageFromTheNativeEvents) {
    wb::WindowsMacroHookPlatform platform;
    HWND window = MakeMessageWindow("OrvantaDecodeTestWindow", DefWindowProcA);
    ASSERT_NE(window, nullptr);

    ASSERT_TRUE(
        PostMessageA(window, 0x1400, 'K', static_cast<LPARAM>(static_cast<std::int32_t>(0xC0250001u))));
    EXPECT_EQ(DecodeNext(platform, window), (HookMessage{'K', 0xC0250001u})) << "a key release";
    ASSERT_TRUE(PostMessageA(window, 0x1400, WM_MOUSEWHEEL, 0));
    EXPECT_EQ(DecodeNext(platform, window), (HookMessage{WM_MOUSEWHEEL, 0}));
    ASSERT_TRUE(PostMessageA(window, WM_USER + 1, 'K', 1));
    EXPECT_EQ(DecodeNext(platform, window), std::nullopt) << "another message";

    MSG hook{window, 0x1400, 'K', 1, 0, {}};
    EXPECT_EQ(platform.DecodeHookMessage("xcb_generic_event_t", &hook), std::nullopt) << "another event type";
    EXPECT_EQ(platform.DecodeHookMessage(wb::kNativeMessageEventType, nullptr), std::nullopt);
    DestroyWindow(window);
}

// The whole way a recording takes: library and blocks through the platform, input, the message decoded.
TEST(WindowsMacroHookPlatform, TheLoadedLibraryReportsAKeyToTheWindowInTheBlock) {
    wb::WindowsMacroHookPlatform platform;
    HWND recorder = MakeMessageWindow("OrvantaRecorderTestWindow", RecorderProc);
    ASSERT_NE(recorder, nullptr);
    auto handleBlock = platform.CreateSharedBlock("KSMMcoHook");
    auto mouseBlock = platform.CreateSharedBlock("KSMFmapp");
    ASSERT_TRUE(handleBlock && mouseBlock);
    const auto handle = static_cast<std::int32_t>(reinterpret_cast<std::uintptr_t>(recorder));
    handleBlock->writeInt32(0, handle);
    mouseBlock->writeInt32(0, handle);
    auto library = platform.LoadHookLibrary();
    ASSERT_TRUE(library && library->hasHookProcedures());

    g_decoder = &platform;
    library->HookOn();
    std::thread typist([] {
        keybd_event('J', 0, 0, 0);
        keybd_event('J', 0, KEYEVENTF_KEYUP, 0);
    });
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    while (g_decoded.size() < 2 && std::chrono::steady_clock::now() < end) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
    typist.join();
    library->HookOff();
    g_decoder = nullptr;

    ASSERT_EQ(g_decoded.size(), 2u);
    EXPECT_EQ(g_decoded[0].code, static_cast<unsigned>('J'));
    EXPECT_EQ(g_decoded[0].param >> 31, 0u) << "the press";
    EXPECT_EQ(g_decoded[1].param >> 31, 1u) << "the release";
    DestroyWindow(recorder);
}

// What a machine without the power functions or a scheme answers differs; the call must answer either way.
TEST(WindowsResumePasswordSetting, AnswersTheSameWhenAskedAgain) {
    wb::WindowsResumePasswordSetting setting;
    const bool first = setting.passwordRequired();
    EXPECT_EQ(setting.passwordRequired(), first);
}

TEST(WindowsPlaybackTiming, ATunedThreadRunsAboveNormalAndWaitsToTheMoment) {
    orvanta::macros::SteadyMacroWaiter waiter(wb::TunePlaybackThread, wb::kTunedThreadSleepMargin);
    int priority = THREAD_PRIORITY_ERROR_RETURN;
    std::vector<std::chrono::steady_clock::duration> lateness;
    std::thread playback([&] {
        waiter.beginPlayback();
        priority = GetThreadPriority(GetCurrentThread());
        auto moment = std::chrono::steady_clock::now();
        for (int step = 0; step < 5; ++step) {
            moment += std::chrono::milliseconds(20);
            waiter.waitUntil(moment, std::chrono::milliseconds(20));
            lateness.push_back(std::chrono::steady_clock::now() - moment);
        }
    });
    playback.join();
    EXPECT_EQ(priority, THREAD_PRIORITY_HIGHEST);
    EXPECT_EQ(GetThreadPriority(GetCurrentThread()), THREAD_PRIORITY_NORMAL) << "only the playback thread";
    for (const auto late : lateness) {
        EXPECT_GE(late.count(), 0) << "never early";
        // Loose: a shared test machine may hold the thread off for a while.
        EXPECT_LT(late, std::chrono::milliseconds(50));
    }
}
