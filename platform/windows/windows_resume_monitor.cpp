#include "platform/windows/windows_resume_monitor.h"

#include <future>
#include <windows.h>

namespace orvanta::platform::windows_backend {

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
