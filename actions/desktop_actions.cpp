#include "actions/desktop_actions.h"

namespace orvanta::actions {

DesktopActions::DesktopActions(Ports ports, Options options)
    : session_(ports.sessionPower, std::move(options.privilegeReports)),
      programs_({ports.launcher, ports.processes, ports.sound, ports.messages, ports.clock, ports.paths},
                std::move(options.programs)),
      startMacro_(std::move(options.startMacro)) {}

void DesktopActions::TurnMonitorOff() {
    session_.TurnMonitorOff();
}

void DesktopActions::LogOff() {
    session_.RequestExitWindows(ExitRequest::LogOff);
}

void DesktopActions::LockComputer() {
    session_.LockComputer();
}

void DesktopActions::ForcedRestart() {
    session_.RequestExitWindows(ExitRequest::ForcedRestart);
}

void DesktopActions::ForcedShutDown() {
    session_.RequestExitWindows(ExitRequest::ForcedShutDown);
}

void DesktopActions::Suspend(bool hibernate) {
    session_.SuspendComputer(hibernate);
}

void DesktopActions::ShowReminderMessage(const std::string& text) {
    programs_.ShowReminderMessage(text);
}

void DesktopActions::KillProcessesByName(const std::string& name) {
    programs_.KillProcessesByName(name);
}

void DesktopActions::OpenWebAddress(const std::string& address) {
    programs_.OpenWebAddress(address);
}

void DesktopActions::OpenDocument(const std::string& path) {
    programs_.OpenDocument(path);
}

bool DesktopActions::StartTaskMacro(const std::string& path) {
    return startMacro_ && startMacro_(path);
}

void DesktopActions::LaunchProgram(const std::string& launch) {
    programs_.LaunchProgram(launch);
}

} // namespace orvanta::actions
