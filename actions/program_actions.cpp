#include "actions/program_actions.h"

#include "actions/argument_splitting.h"
#include "actions/process_matching.h"
#include "platform/api/program_files.h"

namespace orvanta::actions {

ProgramActions::ProgramActions(Ports ports, Options options) : ports_(ports), options_(std::move(options)) {
    if (!options_.isFile) options_.isFile = FileSystemProbe();
}

bool ProgramActions::LaunchProgram(const std::string& launchValue) {
    const platform::ProgramStart start = PrepareLaunch(launchValue, options_.isFile);
    if (start.program.empty()) return false;
    return ports_.launcher.startProgram(start);
}

void ProgramActions::OpenDocument(const std::string& path) {
    ports_.launcher.openDocument(path);
}

void ProgramActions::OpenWebAddress(const std::string& address) {
    if (!ports_.launcher.openAddress(address)) ports_.launcher.openAddressWithProtocolHandler(address);
}

bool ProgramActions::KillProcessesByName(const std::string& terminateValue) {
    return actions::KillProcessesByName(ports_.processes, terminateValue);
}

void ProgramActions::ShowReminderMessage(const std::string& message) {
    actions::ShowReminderMessage(ports_.messages, ports_.sound, ports_.clock, options_.stamp, message);
}

void ProgramActions::RunElevated(const std::string& program, const std::string& parameters) {
    ports_.launcher.runElevated({program, parameters, SplitArguments(parameters)});
}

void ProgramActions::OpenPowerManagement() {
    ports_.launcher.openPowerSettings();
}

std::string ProgramActions::OwnFile(const std::string& fileName) const {
    return platform::ProgramFiles(ports_.paths).privateFile(fileName);
}

ProgramActions::SettingsStart ProgramActions::StartAtomicClock() {
    const std::string program = OwnFile(options_.settingsProgram);
    if (program.empty() || !options_.isFile(program)) return SettingsStart::Missing;
    return ports_.launcher.runElevated({program, "2", {"2"}}) ? SettingsStart::Started
                                                              : SettingsStart::Refused;
}

bool ProgramActions::HasUninstaller() const {
    const std::string uninstaller = OwnFile(options_.uninstaller);
    return !uninstaller.empty() && options_.isFile(uninstaller);
}

bool ProgramActions::StartUninstall() {
    // The service would keep its program files open while they are being removed.
    KillProcessesByName(options_.serviceProgram);
    const std::string uninstaller = OwnFile(options_.uninstaller);
    if (uninstaller.empty() || !options_.isFile(uninstaller)) return false;
    return ports_.launcher.startProgram({uninstaller, "", {}});
}

} // namespace orvanta::actions
