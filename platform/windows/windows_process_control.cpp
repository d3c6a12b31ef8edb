#include "platform/windows/windows_process_control.h"

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

} // namespace orvanta::platform::windows_backend
