#include <chrono>
#include <cstdint>
#include <cstring>
#include <gtest/gtest.h>
#include <thread>
#include <vector>
#include <windows.h>

namespace {

struct HookEvent {
    WPARAM code;
    LPARAM keystroke;
    std::int32_t x;
    std::int32_t y;
};

std::vector<HookEvent> g_events;
unsigned char* g_mouseBlock = nullptr;

LRESULT CALLBACK RecorderProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == 0x1400) {
        HookEvent event{wParam, lParam, 0, 0};
        std::memcpy(&event.x, g_mouseBlock + 8, 4);
        std::memcpy(&event.y, g_mouseBlock + 12, 4);
        g_events.push_back(event);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// The shared blocks as the recorder makes them: four bytes asked for, a whole page mapped.
unsigned char* MakeBlock(const char* name, HANDLE& mapping) {
    mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 4, name);
    if (!mapping) return nullptr;
    return static_cast<unsigned char*>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, 0));
}

// Pumps this thread's messages (the hooks run in them) until the count is reached or the time is up.
void PumpUntil(size_t count, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (g_events.size() < count && std::chrono::steady_clock::now() < end) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
}

// The input comes from another thread while this one pumps: the system hands each event to the hook on
// the installing thread and waits for it.
template <typename Input> void SendAndPump(Input input, size_t count, std::chrono::milliseconds limit) {
    std::thread sender(input);
    PumpUntil(count, limit);
    sender.join();
}

} // namespace

TEST(MacroHookLibrary, ReportsKeysAndMouseEventsToTheRecorderWindowUntilSwitchedOff) {
    HMODULE library = LoadLibraryA("TalvenorMacro.dll");
    ASSERT_NE(library, nullptr);
    using Switch = void (*)();
    auto hookOn = reinterpret_cast<Switch>(reinterpret_cast<void*>(GetProcAddress(library, "HookOn")));
    auto hookOff = reinterpret_cast<Switch>(reinterpret_cast<void*>(GetProcAddress(library, "HookOff")));
    ASSERT_NE(hookOn, nullptr);
    ASSERT_NE(hookOff, nullptr);

    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = RecorderProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "OrvantaHookTestRecorder";
    RegisterClassA(&windowClass);
    HWND recorder = CreateWindowExA(0, windowClass.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                    windowClass.hInstance, nullptr);
    ASSERT_NE(recorder, nullptr);

    HANDLE handleMapping = nullptr;
    HANDLE mouseMapping = nullptr;
    unsigned char* handleBlock = MakeBlock("KSMMcoHook", handleMapping);
    g_mouseBlock = MakeBlock("KSMFmapp", mouseMapping);
    ASSERT_NE(handleBlock, nullptr);
    ASSERT_NE(g_mouseBlock, nullptr);
    const auto handle = static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(recorder));
    std::memcpy(handleBlock, &handle, 4);

    hookOn();
    SendAndPump(
        [] {
            keybd_event('K', 0, 0, 0);
            keybd_event('K', 0, KEYEVENTF_KEYUP, 0);
        },
        2, std::chrono::milliseconds(3000));
    ASSERT_GE(g_events.size(), 2u);
    EXPECT_EQ(g_events[0].code, static_cast<WPARAM>('K'));
    EXPECT_EQ(static_cast<std::uint32_t>(g_events[0].keystroke) >> 31, 0u) << "a press";
    EXPECT_EQ(g_events[1].code, static_cast<WPARAM>('K'));
    EXPECT_EQ(static_cast<std::uint32_t>(g_events[1].keystroke) >> 31, 1u) << "a release";

    // Shift, Control and Alt as the keyboard sends them, by scan code, and by the side-specific codes the
    // low-level hook reports: the recorder gets the keys without a side, never codes it reads as mouse
    // messages.
    g_events.clear();
    SendAndPump(
        [] {
            auto scan = [](WORD code, bool extended, bool up) {
                INPUT input{};
                input.type = INPUT_KEYBOARD;
                input.ki.wScan = code;
                input.ki.dwFlags = KEYEVENTF_SCANCODE | (extended ? KEYEVENTF_EXTENDEDKEY : 0u) |
                                   (up ? KEYEVENTF_KEYUP : 0u);
                SendInput(1, &input, sizeof input);
            };
            scan(0x2A, false, false); // left Shift
            scan(0x2A, false, true);
            scan(0x1D, false, false); // left Control
            scan(0x1D, false, true);
            keybd_event(VK_LMENU, 0x38, 0, 0);
            keybd_event(VK_LMENU, 0x38, KEYEVENTF_KEYUP, 0);
            keybd_event(VK_RSHIFT, 0x36, 0, 0);
            keybd_event(VK_RSHIFT, 0x36, KEYEVENTF_KEYUP, 0);
        },
        8, std::chrono::milliseconds(3000));
    std::vector<WPARAM> modifierCodes;
    for (const HookEvent& event : g_events)
        modifierCodes.push_back(event.code);
    EXPECT_EQ(modifierCodes, (std::vector<WPARAM>{VK_SHIFT, VK_SHIFT, VK_CONTROL, VK_CONTROL, VK_MENU,
                                                  VK_MENU, VK_SHIFT, VK_SHIFT}));

    g_events.clear();
    SetCursorPos(100, 100);
    SendAndPump(
        [] {
            mouse_event(MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE, 0x4000, 0x4000, 0, 0);
            mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
            mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
            mouse_event(MOUSEEVENTF_WHEEL, 0, 0, static_cast<DWORD>(-120), 0);
        },
        4, std::chrono::milliseconds(3000));
    ASSERT_GE(g_events.size(), 4u);
    POINT cursor{};
    GetCursorPos(&cursor);
    EXPECT_EQ(g_events[0].code, static_cast<WPARAM>(WM_MOUSEMOVE));
    EXPECT_EQ(g_events[0].x, cursor.x) << "the position is in the block when the message arrives";
    EXPECT_EQ(g_events[0].y, cursor.y);
    EXPECT_EQ(g_events[1].code, static_cast<WPARAM>(WM_LBUTTONDOWN));
    EXPECT_EQ(g_events[2].code, static_cast<WPARAM>(WM_LBUTTONUP));
    EXPECT_EQ(g_events[3].code, static_cast<WPARAM>(WM_MOUSEWHEEL));
    EXPECT_EQ(static_cast<std::int16_t>(g_events[3].x & 0xFFFF), -120) << "the wheel delta in the low bits";

    hookOff();
    g_events.clear();
    SendAndPump(
        [] {
            keybd_event('K', 0, 0, 0);
            keybd_event('K', 0, KEYEVENTF_KEYUP, 0);
        },
        1, std::chrono::milliseconds(500));
    EXPECT_TRUE(g_events.empty()) << "nothing is reported after HookOff";

    UnmapViewOfFile(handleBlock);
    UnmapViewOfFile(g_mouseBlock);
    CloseHandle(handleMapping);
    CloseHandle(mouseMapping);
    DestroyWindow(recorder);
    FreeLibrary(library);
}
