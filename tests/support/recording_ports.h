#pragma once

#include "scheduler/dispatch_ports.h"

#include <functional>
#include <string>
#include <vector>

namespace orvanta::test {

// Records every action, reminder, timer change and close permission in one ordered log, so tests can
// check what ran and in which order.
class RecordingPorts : public scheduler::TaskActions,
                       public scheduler::ReminderPresenter,
                       public scheduler::MainTimers,
                       public scheduler::CloseAllowance {
  public:
    std::vector<std::string> log;
    std::vector<scheduler::ReminderRequest> reminders;
    bool macroStarts = true;
    std::function<void(const scheduler::ReminderRequest&)> onReminder; // runs while the "window" is open

    void TurnMonitorOff() override { log.push_back("monitor off"); }
    void LogOff() override { log.push_back("log off"); }
    void LockComputer() override { log.push_back("lock"); }
    void ForcedRestart() override { log.push_back("restart"); }
    void ForcedShutDown() override { log.push_back("shut down"); }
    void Suspend(bool hibernate) override { log.push_back(hibernate ? "hibernate" : "stand by"); }
    void ShowReminderMessage(const std::string& text) override { log.push_back("message " + text); }
    void KillProcessesByName(const std::string& name) override { log.push_back("kill " + name); }
    void OpenWebAddress(const std::string& address) override { log.push_back("url " + address); }
    void OpenDocument(const std::string& path) override { log.push_back("open " + path); }
    bool StartTaskMacro(const std::string& path) override {
        log.push_back("macro " + path);
        return macroStarts;
    }
    void LaunchProgram(const std::string& launch) override { log.push_back("launch " + launch); }

    void ShowReminder(const scheduler::ReminderRequest& r) override {
        log.push_back("reminder " + r.taskId + " " + r.actionWord);
        reminders.push_back(r);
        if (onReminder) onReminder(r);
    }

    void SetPollEnabled(bool enabled) override { log.push_back(enabled ? "poll on" : "poll off"); }
    void StartWakeHandOver() override { log.push_back("doWake"); }
    void StartDueHandOver() override { log.push_back("doNoWake"); }
    void StartWakeUpNudge() override { log.push_back("Timer12"); }

    void AllowClose() override { log.push_back("close allowed"); }
};

} // namespace orvanta::test
