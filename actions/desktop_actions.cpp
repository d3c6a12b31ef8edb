#include "actions/desktop_actions.h"

#include <utility>

namespace orvanta::actions {

DesktopActions::DesktopActions(Ports ports, Options options)
    : power_(ports.sessionPower), session_(ports.sessionPower, std::move(options.privilegeReports)),
      programs_({ports.launcher, ports.processes, ports.sound, ports.messages, ports.clock, ports.paths},
                std::move(options.programs)),
      startMacro_(std::move(options.startMacro)) {}

void DesktopActions::Note(platform::RequestResult result, const char* action) {
    if (result == platform::RequestResult::done) return;
    std::string words = power_.lastRefusal();
    const bool refused = result == platform::RequestResult::refused;
    if (words.empty()) words = refused ? "the system refused it" : "nothing here can do it";
    failures_.push_back({refused ? scheduler::RunOutcome::kRefused : scheduler::RunOutcome::kFailed, action,
                         std::move(words)});
}

std::vector<scheduler::ActionFailure> DesktopActions::TakeFailures() {
    return std::exchange(failures_, {});
}

void DesktopActions::TurnMonitorOff() {
    Note(session_.TurnMonitorOff(), "CloseMonitor");
}

void DesktopActions::LogOff() {
    Note(session_.RequestExitWindows(ExitRequest::LogOff), "LogOff");
}

void DesktopActions::LockComputer() {
    Note(session_.LockSession(), "LockWS");
}

void DesktopActions::ForcedRestart() {
    Note(session_.RequestExitWindows(ExitRequest::ForcedRestart), "Reboot");
}

void DesktopActions::ForcedShutDown() {
    Note(session_.RequestExitWindows(ExitRequest::ForcedShutDown), "ShutDown");
}

void DesktopActions::Suspend(bool hibernate) {
    Note(session_.SuspendComputer(hibernate), hibernate ? "Hibernate" : "StandBy");
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
    std::string why;
    if (startMacro_ && startMacro_(path, why)) return true;
    failures_.push_back(
        {scheduler::RunOutcome::kFailed, "Macro",
         why.empty() ? "the macro file cannot be read: " + path : "the macro was not played: " + why});
    return false;
}

void DesktopActions::LaunchProgram(const std::string& launch) {
    if (programs_.LaunchProgram(launch)) return;
    // The editor stores "program | parameters": the blanks around the bar are not the program's.
    std::string program = launch.substr(0, launch.find('|'));
    program.erase(program.find_last_not_of(' ') + 1);
    program.erase(0, program.find_first_not_of(' '));
    failures_.push_back({scheduler::RunOutcome::kFailed, "Launch",
                         "no such program, or it could not be started: " + program});
}

} // namespace orvanta::actions
