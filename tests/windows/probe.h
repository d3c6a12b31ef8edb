#pragma once

#include <string>
#include <windows.h>

namespace orvanta::test {

// The probe program beside the test program.
inline std::string ProbePath() {
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string path(self);
    return path.substr(0, path.find_last_of("\\/") + 1) + "windows_probe.exe";
}

// Starts the probe with the arguments; the caller closes the process handle.
inline HANDLE StartProbe(const std::string& arguments, DWORD* processId = nullptr) {
    std::string commandLine = "\"" + ProbePath() + "\" " + arguments;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &info))
        return nullptr;
    CloseHandle(info.hThread);
    if (processId) *processId = info.dwProcessId;
    return info.hProcess;
}

// Runs the probe to its end; its exit code, or -1 when it could not be run within ten seconds.
inline int RunProbe(const std::string& arguments) {
    HANDLE process = StartProbe(arguments);
    if (!process) return -1;
    DWORD code = static_cast<DWORD>(-1);
    if (WaitForSingleObject(process, 10000) == WAIT_OBJECT_0) GetExitCodeProcess(process, &code);
    CloseHandle(process);
    return static_cast<int>(code);
}

} // namespace orvanta::test
