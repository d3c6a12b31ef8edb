#include "platform/windows/windows_session_power.h"

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
namespace {

RequestResult RequestExit(UINT flags) {
    return ExitWindowsEx(flags, 0) ? RequestResult::done : RequestResult::refused;
}

std::string LastErrorText() {
    char text[512] = {};
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, GetLastError(),
                   MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), text, sizeof text, nullptr);
    std::string result(text);
    while (!result.empty() && (result.back() == '\n' || result.back() == '\r'))
        result.pop_back();
    return result;
}

} // namespace

PrivilegeResult WindowsSessionPower::enableShutdownPrivilege() {
    PrivilegeResult result;
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) {
        result.enabled = false;
        result.problems.push_back("Cannot open process token. [" + LastErrorText() + "]");
        return result;
    }
    TOKEN_PRIVILEGES privileges{};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    if (!LookupPrivilegeValueA(nullptr, SE_SHUTDOWN_NAME, &privileges.Privileges[0].Luid)) {
        result.enabled = false;
        result.problems.push_back("Cannot find privilege value. [" + LastErrorText() + "]");
    } else if (!AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr) ||
               GetLastError() != ERROR_SUCCESS) {
        // AdjustTokenPrivileges succeeds without granting when the token lacks the privilege.
        result.enabled = false;
        result.problems.push_back("Error adjusting process privileges.");
    }
    CloseHandle(token);
    return result;
}

RequestResult WindowsSessionPower::powerOff(bool force) {
    return RequestExit(EWX_POWEROFF | EWX_SHUTDOWN | (force ? EWX_FORCE : 0));
}

RequestResult WindowsSessionPower::reboot(bool force) {
    return RequestExit(EWX_REBOOT | (force ? EWX_FORCE : 0));
}

RequestResult WindowsSessionPower::logOffPolitely() {
    return RequestExit(EWX_LOGOFF);
}

RequestResult WindowsSessionPower::terminateSession() {
    return RequestExit(EWX_LOGOFF | EWX_FORCE);
}

RequestResult WindowsSessionPower::suspend() {
    PowerLibrary library;
    if (!library.loaded()) return RequestResult::unavailable;
    return library.suspend(false) ? RequestResult::done : RequestResult::refused;
}

RequestResult WindowsSessionPower::hibernate() {
    PowerLibrary library;
    if (!library.loaded()) return RequestResult::unavailable;
    return library.suspend(true) ? RequestResult::done : RequestResult::refused;
}

RequestResult WindowsSessionPower::lockSession() {
    // user32 is part of every GUI process already: look the function up there, without loading anything.
    HMODULE user32 = GetModuleHandleA("user32.dll");
    using LockWorkStationFn = BOOL(WINAPI*)();
    auto lock = user32 ? reinterpret_cast<LockWorkStationFn>(
                             reinterpret_cast<void*>(GetProcAddress(user32, "LockWorkStation")))
                       : nullptr;
    if (!lock) return RequestResult::unavailable;
    return lock() ? RequestResult::done : RequestResult::refused;
}

RequestResult WindowsSessionPower::turnMonitorOff() {
    // Posted, not sent: a hung top-level window must not hold the caller.
    return PostMessageA(HWND_BROADCAST, WM_SYSCOMMAND, SC_MONITORPOWER, 2) ? RequestResult::done
                                                                           : RequestResult::refused;
}

} // namespace orvanta::platform::windows_backend
