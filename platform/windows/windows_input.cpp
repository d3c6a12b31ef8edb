#include "platform/windows/windows_input.h"

#include <future>
#include <windows.h>

namespace orvanta::platform::windows_backend {
namespace {

// A thread message that carries a std::function to run on the thread.
constexpr UINT kInvokeMessage = WM_APP + 1;

bool IsExtendedKey(unsigned vk) {
    switch (vk) {
    case VK_INSERT:
    case VK_DELETE:
    case VK_HOME:
    case VK_END:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
    case VK_RCONTROL:
    case VK_RMENU:
    case VK_LWIN:
    case VK_RWIN:
    case VK_APPS:
    case VK_DIVIDE:
    case VK_NUMLOCK:
    case VK_SNAPSHOT:
        return true;
    default:
        return false;
    }
}

void SendKey(unsigned vk, bool up) {
    if (vk == 0 || vk > 0xFE) return;
    DWORD flags = (up ? KEYEVENTF_KEYUP : 0) | (IsExtendedKey(vk) ? KEYEVENTF_EXTENDEDKEY : 0);
    keybd_event(static_cast<BYTE>(vk), static_cast<BYTE>(MapVirtualKeyA(vk, 0)), flags, 0);
}

DWORD ButtonFlag(MouseButton button, bool up) {
    switch (button) {
    case MouseButton::Left:
        return up ? MOUSEEVENTF_LEFTUP : MOUSEEVENTF_LEFTDOWN;
    case MouseButton::Right:
        return up ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_RIGHTDOWN;
    case MouseButton::Middle:
        return up ? MOUSEEVENTF_MIDDLEUP : MOUSEEVENTF_MIDDLEDOWN;
    }
    return 0;
}

} // namespace

MessageThread::MessageThread(std::function<void(unsigned, std::uintptr_t, std::intptr_t)> onMessage)
    : onMessage_(std::move(onMessage)) {
    std::promise<void> ready;
    auto started = ready.get_future();
    thread_ = std::thread([this, &ready] { run(&ready); });
    started.wait();
}

MessageThread::~MessageThread() {
    PostThreadMessageA(threadId_, WM_QUIT, 0, 0);
    if (thread_.joinable()) thread_.join();
}

void MessageThread::run(void* ready) {
    MSG msg;
    // The first peek makes the system give this thread its message queue.
    PeekMessageA(&msg, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
    threadId_ = GetCurrentThreadId();
    static_cast<std::promise<void>*>(ready)->set_value();
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (msg.hwnd == nullptr && msg.message == kInvokeMessage) {
            auto* work = reinterpret_cast<std::packaged_task<void()>*>(msg.lParam);
            (*work)();
            continue;
        }
        onMessage_(msg.message, msg.wParam, msg.lParam);
        DispatchMessageA(&msg);
    }
}

bool MessageThread::invoke(const std::function<void()>& work) {
    if (GetCurrentThreadId() == threadId_) {
        work();
        return true;
    }
    std::packaged_task<void()> task(work);
    auto done = task.get_future();
    if (!PostThreadMessageA(threadId_, kInvokeMessage, 0, reinterpret_cast<LPARAM>(&task))) return false;
    done.get();
    return true;
}

WindowsGlobalHotkeys::WindowsGlobalHotkeys()
    : thread_(std::make_unique<MessageThread>(
          [this](unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
              onMessage(message, wParam, lParam);
          })) {}

WindowsGlobalHotkeys::~WindowsGlobalHotkeys() {
    std::map<int, std::pair<unsigned, unsigned>> held;
    {
        std::lock_guard lock(mutex_);
        held = registered_;
    }
    for (const auto& [id, combination] : held)
        unregisterHotkey(id);
    thread_.reset();
}

void WindowsGlobalHotkeys::setOnPressed(PressedCallback onPressed) {
    std::lock_guard lock(mutex_);
    onPressed_ = std::move(onPressed);
}

HotkeyRegistration WindowsGlobalHotkeys::registerHotkey(unsigned modifiers, unsigned virtualKey, int id) {
    {
        std::lock_guard lock(mutex_);
        for (const auto& [heldId, combination] : registered_)
            if (combination == std::make_pair(modifiers, virtualKey)) return HotkeyRegistration::Refused;
    }
    unregisterHotkey(id);
    bool accepted = false;
    const bool ran =
        thread_->invoke([&] { accepted = RegisterHotKey(nullptr, id, modifiers, virtualKey) != FALSE; });
    if (!ran) return HotkeyRegistration::Unavailable;
    if (!accepted) return HotkeyRegistration::Refused;
    std::lock_guard lock(mutex_);
    registered_[id] = {modifiers, virtualKey};
    return HotkeyRegistration::Registered;
}

void WindowsGlobalHotkeys::unregisterHotkey(int id) {
    {
        std::lock_guard lock(mutex_);
        if (registered_.erase(id) == 0) return;
    }
    thread_->invoke([id] { UnregisterHotKey(nullptr, id); });
}

void WindowsGlobalHotkeys::onMessage(unsigned message, std::uintptr_t wParam, std::intptr_t /*lParam*/) {
    if (message != WM_HOTKEY) return;
    const int id = static_cast<int>(wParam);
    PressedCallback callback;
    std::pair<unsigned, unsigned> combination;
    {
        std::lock_guard lock(mutex_);
        auto it = registered_.find(id);
        if (it == registered_.end()) return;
        combination = it->second;
        callback = onPressed_;
    }
    if (callback) callback(id, combination.first, combination.second);
}

void WindowsSyntheticInput::keyDown(unsigned virtualKey) {
    SendKey(virtualKey, false);
}
void WindowsSyntheticInput::keyUp(unsigned virtualKey) {
    SendKey(virtualKey, true);
}

void WindowsSyntheticInput::mouseMoveBy(int dx, int dy) {
    mouse_event(MOUSEEVENTF_MOVE, static_cast<DWORD>(dx), static_cast<DWORD>(dy), 0, 0);
}

void WindowsSyntheticInput::buttonDown(MouseButton button) {
    mouse_event(ButtonFlag(button, false), 0, 0, 0, 0);
}
void WindowsSyntheticInput::buttonUp(MouseButton button) {
    mouse_event(ButtonFlag(button, true), 0, 0, 0, 0);
}

void WindowsSyntheticInput::wheel(int delta) {
    mouse_event(MOUSEEVENTF_WHEEL, 0, 0, static_cast<DWORD>(delta), 0);
}

void WindowsSyntheticInput::setCursorPos(int x, int y) {
    SetCursorPos(x, y);
}

bool WindowsSyntheticInput::anyKeyHeld() {
    for (int vk = 0x08; vk < 0xFF; ++vk) {
        // The generic modifier codes repeat the side-specific ones.
        if (vk == VK_SHIFT || vk == VK_CONTROL || vk == VK_MENU) continue;
        if (GetAsyncKeyState(vk) & 0x8000) return true;
    }
    return false;
}

std::optional<CursorPoint> WindowsSyntheticInput::cursorPos() {
    POINT point{};
    if (!GetCursorPos(&point)) return std::nullopt;
    return CursorPoint{point.x, point.y};
}

bool SystemResumeAutomatic() {
    using Fn = BOOL(WINAPI*)();
    static const Fn function = [] {
        HMODULE kernel = GetModuleHandleA("kernel32.dll");
        if (!kernel) kernel = LoadLibraryA("kernel32.dll");
        return kernel ? reinterpret_cast<Fn>(
                            reinterpret_cast<void*>(GetProcAddress(kernel, "IsSystemResumeAutomatic")))
                      : nullptr;
    }();
    return function && function();
}

WindowsResumeMonitor::~WindowsResumeMonitor() {
    stop();
}

bool WindowsResumeMonitor::start(std::function<void(const ResumeEvent&)> onResumed) {
    {
        std::lock_guard lock(mutex_);
        if (thread_.joinable()) return true;
        onResumed_ = std::move(onResumed);
    }
    std::promise<bool> ready;
    auto created = ready.get_future();
    thread_ = std::thread([this, &ready] { run(&ready); });
    if (created.get()) return true;
    thread_.join();
    return false;
}

void WindowsResumeMonitor::stop() {
    if (!thread_.joinable()) return;
    PostThreadMessageA(threadId_, WM_QUIT, 0, 0);
    thread_.join();
    std::lock_guard lock(mutex_);
    onResumed_ = nullptr;
}

std::intptr_t __stdcall WindowsResumeMonitor::WindowProc(void* window, unsigned message,
                                                         std::uintptr_t wParam, std::intptr_t lParam) {
    HWND hwnd = static_cast<HWND>(window);
    if (message == WM_POWERBROADCAST &&
        (wParam == PBT_APMRESUMEAUTOMATIC || wParam == PBT_APMRESUMESUSPEND)) {
        auto* self = reinterpret_cast<WindowsResumeMonitor*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
        if (self) {
            std::function<void(const ResumeEvent&)> callback;
            {
                std::lock_guard lock(self->mutex_);
                callback = self->onResumed_;
            }
            if (callback) callback(ResumeEvent{wParam == PBT_APMRESUMEAUTOMATIC});
        }
        return TRUE;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

void WindowsResumeMonitor::run(void* ready) {
    auto* promise = static_cast<std::promise<bool>*>(ready);
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = reinterpret_cast<WNDPROC>(&WindowProc);
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kResumeWindowClass;
    RegisterClassA(&windowClass); // a second monitor finds the class already there
    // A top-level window, never shown: message-only windows get no broadcasts.
    HWND window = CreateWindowExA(0, kResumeWindowClass, "", WS_OVERLAPPED, 0, 0, 0, 0, nullptr, nullptr,
                                  instance, nullptr);
    if (!window) {
        promise->set_value(false);
        return;
    }
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    window_ = window;
    threadId_ = GetCurrentThreadId();
    promise->set_value(true);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0)
        DispatchMessageA(&msg);
    DestroyWindow(window);
    window_ = nullptr;
}

} // namespace orvanta::platform::windows_backend
