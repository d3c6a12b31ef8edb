#include "platform/linux/actions/linux_program_launcher.h"

#include "platform/linux/actions/detached_spawn.h"
#include "platform/linux/actions/program_search.h"

#include <cerrno>
#include <filesystem>

namespace orvanta::platform::linux_backend {
namespace {

std::optional<SpawnPlan> planFor(const std::string& program, std::vector<std::string> arguments) {
    const auto executable = FindProgram(program);
    if (!executable) return std::nullopt;
    arguments.insert(arguments.begin(), program);
    return SpawnPlan{*executable, std::move(arguments)};
}

bool openWithDesktop(const std::string& target) {
    const std::string safe = OpenerSafeTarget(target);
    const auto xdgOpen = planFor("xdg-open", {safe});
    const auto gioOpen = planFor("gio", {"open", safe});
    if (xdgOpen) return SpawnDetached(*xdgOpen, gioOpen ? &*gioOpen : nullptr);
    return gioOpen && SpawnDetached(*gioOpen);
}

} // namespace

std::string OpenerSafeTarget(const std::string& target) {
    return target.starts_with('-') ? "./" + target : target;
}

const std::vector<std::vector<std::string>>& PowerSettingsCommands() {
    static const std::vector<std::vector<std::string>> commands{
        {"gnome-control-center", "power"},
        {"xfce4-power-manager-settings"},
        {"systemsettings", "kcm_powerdevilprofilesconfig"},
        {"mate-power-preferences"},
        {"lxqt-config-powermanagement"},
    };
    return commands;
}

bool LinuxProgramLauncher::startProgram(const ProgramStart& start) {
    if (const auto plan = planFor(start.program, start.arguments)) {
        int error = 0;
        if (SpawnDetached(*plan, nullptr, &error)) return true;
        // A document with the execute bit set, as every file on a FAT or NTFS mount has: the system
        // cannot run it, so it is opened as a document is.
        return error == ENOEXEC && openWithDesktop(plan->executable);
    }
    if (start.program.find('/') != std::string::npos && IsDocumentRatherThanProgram(start.program))
        return openWithDesktop(start.program);
    return false;
}

bool LinuxProgramLauncher::openDocument(const std::string& path) {
    return openWithDesktop(path);
}

bool LinuxProgramLauncher::openAddress(const std::string& address) {
    return openWithDesktop(address);
}

bool LinuxProgramLauncher::openAddressWithProtocolHandler(const std::string& address) {
    const auto gioOpen = planFor("gio", {"open", OpenerSafeTarget(address)});
    return gioOpen && SpawnDetached(*gioOpen);
}

bool LinuxProgramLauncher::runElevated(const ProgramStart& start) {
    const auto program = FindProgram(start.program);
    if (!program) return false;
    // pkexec wants the program by its full path; it resets the environment and the working folder.
    std::error_code ec;
    const std::string absolute = std::filesystem::absolute(*program, ec).string();
    if (ec) return false;
    std::vector<std::string> arguments{absolute};
    arguments.insert(arguments.end(), start.arguments.begin(), start.arguments.end());
    const auto pkexec = planFor("pkexec", std::move(arguments));
    return pkexec && SpawnDetached(*pkexec);
}

bool LinuxProgramLauncher::openPowerSettings() {
    for (const auto& command : PowerSettingsCommands()) {
        if (auto plan = planFor(command.front(), {command.begin() + 1, command.end()}))
            return SpawnDetached(*plan);
    }
    return false;
}

} // namespace orvanta::platform::linux_backend
