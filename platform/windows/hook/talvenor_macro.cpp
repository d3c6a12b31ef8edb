// The macro hook library: low-level keyboard and mouse hooks that report every input event to the recorder
// window named in the shared block "KSMMcoHook", as message 0x1400. Before a mouse event is reported, its
// position (or wheel delta) is written into the shared block "KSMFmapp".
//
// Low-level hooks run on the thread that installed them, so HookOn must be called from a thread that
// pumps messages: the recorder's window thread.
#include <cstdint>
#include <cstring>
#include <windows.h>

namespace {

constexpr UINT kHookMessage = 0x1400;
constexpr const char* kHandleBlockName = "KSMMcoHook";
constexpr const char* kMouseBlockName = "KSMFmapp";

HINSTANCE g_module = nullptr;
HHOOK g_keyboardHook = nullptr;
HHOOK g_mouseHook = nullptr;

// The two shared blocks, opened once by HookOn: a hook must answer quickly, so no event opens them anew.
struct SharedBlock {
    HANDLE mapping = nullptr;
    unsigned char* view = nullptr;

    void open(const char* name) {
        mapping = OpenFileMappingA(FILE_MAP_WRITE | FILE_MAP_READ, FALSE, name);
        if (mapping)
            view =
                static_cast<unsigned char*>(MapViewOfFile(mapping, FILE_MAP_WRITE | FILE_MAP_READ, 0, 0, 0));
    }
    void close() {
        if (view) UnmapViewOfFile(view);
        if (mapping) CloseHandle(mapping);
        view = nullptr;
        mapping = nullptr;
    }
};

struct MousePosition {
    std::int32_t x;
    std::int32_t y;
};

SharedBlock g_handleBlock;
SharedBlock g_mouseBlock;

HWND RecorderWindow() {
    if (!g_handleBlock.view) return nullptr;
    std::uint32_t handle = 0;
    std::memcpy(&handle, g_handleBlock.view, 4);
    // Window handles fit 32 bits on every Windows, which is why the block holds only four bytes.
    return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(handle));
}

// Synchronous, so the recorder reads the mouse block before the next event overwrites it; a recorder
// that hangs does not hold the user's input for long.
void Report(HWND recorder, WPARAM code, LPARAM keystroke) {
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(recorder, kHookMessage, code, keystroke, SMTO_NORMAL | SMTO_ABORTIFHUNG, 200,
                        &ignored);
}

// The low-level hook names the side of Shift, Control and Alt (160 to 165); the recorder reads codes 150 to
// 185 as mouse messages, so those become the keys without a side, which play back the same. Other keys of
// that range (browser and media keys) cannot be recorded as keys and are not reported: 0.
DWORD RecordableKey(DWORD vk) {
    switch (vk) {
    case VK_LSHIFT:
    case VK_RSHIFT:
        return VK_SHIFT;
    case VK_LCONTROL:
    case VK_RCONTROL:
        return VK_CONTROL;
    case VK_LMENU:
    case VK_RMENU:
        return VK_MENU;
    default:
        return vk >= 150 && vk <= 185 ? 0 : vk;
    }
}

LRESULT CALLBACK KeyboardProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION) {
        const auto* key = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
        // Input made by scan code alone may come without a key code; the layout gives it.
        const DWORD scan = (key->scanCode & 0xFF) | ((key->flags & LLKHF_EXTENDED) ? 0xE000u : 0u);
        const DWORD vk = RecordableKey(key->vkCode ? key->vkCode : MapVirtualKeyA(scan, MAPVK_VSC_TO_VK_EX));
        const bool up = wParam == WM_KEYUP || wParam == WM_SYSKEYUP;
        // The keystroke's lParam as a window would see it: repeat count 1, scan code, extended flag,
        // and bit 31 for a release.
        std::uint32_t keystroke =
            1u | ((key->scanCode & 0xFF) << 16) | ((key->flags & LLKHF_EXTENDED) ? 1u << 24 : 0);
        if (up) keystroke |= 0xC0000000u;
        if (HWND recorder = vk ? RecorderWindow() : nullptr)
            SendMessageA(recorder, kHookMessage, vk,
                         static_cast<LPARAM>(static_cast<std::int32_t>(keystroke)));
    }
    return CallNextHookEx(g_keyboardHook, code, wParam, lParam);
}

LRESULT CALLBACK MouseProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION) {
        const auto* mouse = reinterpret_cast<const MSLLHOOKSTRUCT*>(lParam);
        MousePosition position{mouse->pt.x, mouse->pt.y};
        // For the wheel the low 16 bits of the x field carry the signed delta.
        if (wParam == WM_MOUSEWHEEL)
            position.x = static_cast<std::int16_t>(HIWORD(mouse->mouseData)) & 0xFFFF;
        if (g_mouseBlock.view) {
            std::memcpy(g_mouseBlock.view + 8, &position.x, 4);
            std::memcpy(g_mouseBlock.view + 12, &position.y, 4);
        }
        if (HWND recorder = RecorderWindow()) Report(recorder, wParam, 0);
    }
    return CallNextHookEx(g_mouseHook, code, wParam, lParam);
}

} // namespace

extern "C" __declspec(dllexport) void HookOn() {
    if (!g_handleBlock.view) g_handleBlock.open(kHandleBlockName);
    if (!g_mouseBlock.view) g_mouseBlock.open(kMouseBlockName);
    if (!g_keyboardHook) g_keyboardHook = SetWindowsHookExA(WH_KEYBOARD_LL, KeyboardProc, g_module, 0);
    if (!g_mouseHook) g_mouseHook = SetWindowsHookExA(WH_MOUSE_LL, MouseProc, g_module, 0);
}

extern "C" __declspec(dllexport) void HookOff() {
    if (g_keyboardHook) UnhookWindowsHookEx(g_keyboardHook);
    if (g_mouseHook) UnhookWindowsHookEx(g_mouseHook);
    g_keyboardHook = nullptr;
    g_mouseHook = nullptr;
    g_handleBlock.close();
    g_mouseBlock.close();
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) g_module = instance;
    if (reason == DLL_PROCESS_DETACH) HookOff();
    return TRUE;
}
