#include "platform/windows/windows_actions.h"

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

std::string FileNamePart(const std::string& path) {
    const auto slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string ImagePathOf(DWORD pid) {
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    if (!process) return {};
    char path[MAX_PATH * 4] = {};
    DWORD size = sizeof path;
    std::string result;
    if (QueryFullProcessImageNameA(process, 0, path, &size)) result.assign(path, size);
    CloseHandle(process);
    return result;
}

bool ShellOpen(const std::string& file, const std::string& parameters) {
    // ShellExecuteA answers a value above 32 on success.
    auto result = reinterpret_cast<INT_PTR>(ShellExecuteA(nullptr, "open", file.c_str(),
                                                          parameters.empty() ? nullptr : parameters.c_str(),
                                                          nullptr, SW_SHOWNORMAL));
    return result > 32;
}

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

std::optional<std::vector<ProcessEntry>> WindowsProcessControl::listProcesses() {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return std::nullopt;
    std::vector<ProcessEntry> result;
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
        ProcessEntry process;
        process.id = entry.th32ProcessID;
        process.shortName = entry.szExeFile;
        process.imagePath = ImagePathOf(entry.th32ProcessID);
        process.imageName = process.imagePath.empty() ? process.shortName : FileNamePart(process.imagePath);
        result.push_back(std::move(process));
    }
    CloseHandle(snapshot);
    return result;
}

bool WindowsProcessControl::killProcess(std::int64_t id) {
    HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, static_cast<DWORD>(id));
    if (!process) return false;
    const bool ended = TerminateProcess(process, 0) != FALSE;
    CloseHandle(process);
    return ended;
}

bool WindowsProgramLauncher::startProgram(const ProgramStart& start) {
    return ShellOpen(start.program, start.parameters);
}

bool WindowsProgramLauncher::openDocument(const std::string& path) {
    return ShellOpen(path, {});
}

bool WindowsProgramLauncher::openAddress(const std::string& address) {
    return ShellOpen(address, {});
}

bool WindowsProgramLauncher::openAddressWithProtocolHandler(const std::string& address) {
    return ShellOpen("rundll32.exe", "url.dll,FileProtocolHandler " + address);
}

bool WindowsProgramLauncher::runElevated(const ProgramStart& start) {
    SHELLEXECUTEINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOASYNC;
    info.lpVerb = "runas";
    info.lpFile = start.program.c_str();
    info.lpParameters = start.parameters.empty() ? nullptr : start.parameters.c_str();
    info.nShow = SW_SHOWNORMAL;
    return ShellExecuteExA(&info) != FALSE;
}

bool WindowsProgramLauncher::openPowerSettings() {
    return ShellOpen("control.exe", "powercfg.cpl");
}

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

AcLineStatus WindowsPowerStatus::acLineStatus() const {
    SYSTEM_POWER_STATUS status{};
    if (!GetSystemPowerStatus(&status)) return AcLineStatus::Unknown;
    switch (status.ACLineStatus) {
    case 0:
        return AcLineStatus::Offline;
    case 1:
        return AcLineStatus::Online;
    default:
        return AcLineStatus::Unknown;
    }
}

bool WindowsPowerStatus::canWakeFromSleep() const {
    return RtcWakeSupported();
}

} // namespace orvanta::platform::windows_backend
