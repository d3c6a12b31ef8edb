#include "platform/windows/windows_keep_awake.h"

// These Windows headers need <windows.h> before them.
// clang-format off
#include <windows.h>
#include <shellapi.h>
#include <tlhelp32.h>
// clang-format on

#include "platform/windows/power_library.h"
#include "platform/windows/windows_wake_timer.h"

#include <string>

namespace orvanta::platform::windows_backend {

WindowsKeepAwake::~WindowsKeepAwake() {
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    changed_.notify_all();
    if (holder_.joinable()) holder_.join();
}

bool WindowsKeepAwake::wakeDisplay() {
    return SetThreadExecutionState(ES_DISPLAY_REQUIRED) != 0;
}

bool WindowsKeepAwake::holdSystemAwake() {
    if (holding_) return true;
    const bool held = setOnOwnThread(ES_CONTINUOUS | ES_SYSTEM_REQUIRED);
    holding_ = held;
    return held;
}

void WindowsKeepAwake::release() {
    if (!holding_) return;
    setOnOwnThread(ES_CONTINUOUS);
    holding_ = false;
}

bool WindowsKeepAwake::setOnOwnThread(unsigned long state) {
    std::unique_lock lock(mutex_);
    if (!holder_.joinable()) holder_ = std::thread([this] { run(); });
    request_ = state;
    changed_.notify_all();
    changed_.wait(lock, [this] { return !request_; });
    return answer_;
}

void WindowsKeepAwake::run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return stop_ || request_; });
        if (stop_) return;
        answer_ = SetThreadExecutionState(static_cast<EXECUTION_STATE>(*request_)) != 0;
        request_.reset();
        changed_.notify_all();
    }
}

} // namespace orvanta::platform::windows_backend
