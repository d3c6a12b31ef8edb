#pragma once

#include "platform/api/global_hotkeys.h"
#include "platform/api/resume_monitor.h"
#include "platform/api/synthetic_input.h"

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>

namespace orvanta::platform::windows_backend {

// A thread with its own message queue: hotkeys and power broadcasts arrive as messages to the thread (or
// its window) that asked for them, so every request is carried out on it.
class MessageThread {
  public:
    // onMessage sees every message the thread receives; it runs on the thread.
    explicit MessageThread(
        std::function<void(unsigned message, std::uintptr_t wParam, std::intptr_t lParam)> onMessage);
    ~MessageThread();
    MessageThread(const MessageThread&) = delete;
    MessageThread& operator=(const MessageThread&) = delete;

    // Runs the work on the thread and waits for it; false when the thread is gone.
    bool invoke(const std::function<void()>& work);
    unsigned long threadId() const { return threadId_; }

  private:
    void run(void* ready);

    std::function<void(unsigned, std::uintptr_t, std::intptr_t)> onMessage_;
    unsigned long threadId_ = 0;
    std::thread thread_;
};

// RegisterHotKey on a thread of its own; WM_HOTKEY reaches the callback from there.
class WindowsGlobalHotkeys : public GlobalHotkeys {
  public:
    WindowsGlobalHotkeys();
    ~WindowsGlobalHotkeys() override;

    void setOnPressed(PressedCallback onPressed) override;
    HotkeyRegistration registerHotkey(unsigned modifiers, unsigned virtualKey, int id) override;
    void unregisterHotkey(int id) override;

  private:
    void onMessage(unsigned message, std::uintptr_t wParam, std::intptr_t lParam);

    std::mutex mutex_;
    PressedCallback onPressed_;
    std::map<int, std::pair<unsigned, unsigned>> registered_; // id -> modifiers, key
    std::unique_ptr<MessageThread> thread_;
};

// keybd_event, mouse_event, SetCursorPos and GetCursorPos.
class WindowsSyntheticInput : public SyntheticInput {
  public:
    void keyDown(unsigned virtualKey) override;
    void keyUp(unsigned virtualKey) override;
    void mouseMoveBy(int dx, int dy) override;
    void buttonDown(MouseButton button) override;
    void buttonUp(MouseButton button) override;
    void wheel(int delta) override;
    void setCursorPos(int x, int y) override;
    std::optional<CursorPoint> cursorPos() override;
    // Any key but the mouse buttons down, as GetAsyncKeyState tells it.
    bool anyKeyHeld() override;
};

// A hidden top-level window on a thread of its own receives WM_POWERBROADCAST: an automatic resume
// (PBT_APMRESUMEAUTOMATIC) and one the user took part in (PBT_APMRESUMESUSPEND).
class WindowsResumeMonitor : public ResumeMonitor {
  public:
    ~WindowsResumeMonitor() override;
    bool start(std::function<void(const ResumeEvent&)> onResumed) override;
    void stop() override;

  private:
    static std::intptr_t __stdcall WindowProc(void* window, unsigned message, std::uintptr_t wParam,
                                              std::intptr_t lParam);
    void run(void* ready);

    std::mutex mutex_;
    std::function<void(const ResumeEvent&)> onResumed_;
    void* window_ = nullptr;
    unsigned long threadId_ = 0;
    std::thread thread_;
};

// The window class of the resume monitor's window, for tests that speak to it.
inline constexpr const char* kResumeWindowClass = "OrvantaResumeMonitor";

// IsSystemResumeAutomatic from kernel32, looked up at first use; false where the system lacks it.
bool SystemResumeAutomatic();

} // namespace orvanta::platform::windows_backend
