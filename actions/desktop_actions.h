#pragma once

#include "actions/program_actions.h"
#include "actions/session_actions.h"
#include "scheduler/dispatch_ports.h"

#include <functional>
#include <string>
#include <vector>

namespace orvanta::actions {

// Every action a task can carry, on the platform the program runs on. Needs no GUI: a command-line tool
// can run tasks with a PrintingMessageWindow.
class DesktopActions : public scheduler::TaskActions {
  public:
    struct Ports {
        platform::SessionPower& sessionPower;
        platform::ProgramLauncher& launcher;
        platform::ProcessControl& processes;
        platform::AlertSound& sound;
        MessageWindow& messages;
        const platform::Clock& clock;
        const platform::SystemPaths& paths;
    };
    // Answers false when the macro file cannot be read.
    // False when the macro did not start; why is then set where the starter knows more than that the file
    // will not do.
    using MacroStarter = std::function<bool(const std::string& path, std::string& why)>;
    struct Options {
        // Until the macro player exists nothing can start a macro: an empty starter answers false, as an
        // unreadable macro file does, which ends the dispatcher's pass there.
        MacroStarter startMacro;
        LineSink privilegeReports = StandardOutputLines();
        ProgramActions::Options programs;
    };

    DesktopActions(Ports ports, Options options);

    void TurnMonitorOff() override;
    void LogOff() override;
    void LockComputer() override;
    void ForcedRestart() override;
    void ForcedShutDown() override;
    void Suspend(bool hibernate) override;
    void ShowReminderMessage(const std::string& text) override;
    void KillProcessesByName(const std::string& name) override;
    void OpenWebAddress(const std::string& address) override;
    void OpenDocument(const std::string& path) override;
    bool StartTaskMacro(const std::string& path) override;
    void LaunchProgram(const std::string& launch) override;
    std::vector<scheduler::ActionFailure> TakeFailures() override;

    // For the menus: the quick-launch commands and the Tools commands.
    SessionActions& session() { return session_; }
    ProgramActions& programs() { return programs_; }

  private:
    // Keeps a request the system did not take, with its words, for TakeFailures.
    void Note(platform::RequestResult result, const char* action);

    platform::SessionPower& power_;
    std::vector<scheduler::ActionFailure> failures_;
    SessionActions session_;
    ProgramActions programs_;
    MacroStarter startMacro_;
};

} // namespace orvanta::actions
