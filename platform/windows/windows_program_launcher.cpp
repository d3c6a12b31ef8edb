#include "platform/windows/windows_program_launcher.h"

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

bool ShellOpen(const std::string& file, const std::string& parameters) {
    // ShellExecuteA answers a value above 32 on success.
    auto result = reinterpret_cast<INT_PTR>(ShellExecuteA(nullptr, "open", file.c_str(),
                                                          parameters.empty() ? nullptr : parameters.c_str(),
                                                          nullptr, SW_SHOWNORMAL));
    return result > 32;
}

} // namespace

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

} // namespace orvanta::platform::windows_backend
