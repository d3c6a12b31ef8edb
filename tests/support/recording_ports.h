#pragma once

#include "scheduler/dispatch_ports.h"

#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace orvanta::test {

// Records every action, reminder, timer change and close permission in one ordered log, so tests can
// check what ran and in which order.
class RecordingPorts : public scheduler::TaskActions,
                       public scheduler::ReminderPresenter,
                       public scheduler::MainTimers,
                       public scheduler::CloseAllowance,
                       public scheduler::RunEventSink {
  public:
    std::vector<std::string> log;
    std::vector<scheduler::RunEvent> events;
    // Actions that do not go through, by kind ("launch", "shut down", ...): each call of that kind
    // leaves this failure for TakeFailures.
    std::map<std::string, scheduler::ActionFailure> failing;
    std::vector<scheduler::ReminderRequest> reminders;
    bool macroStarts = true;
    std::string macroRefusal; // why the desktop did not let a macro start, as the real actions tell it
    std::string throwing;     // the kind of action that throws, as a backend's unexpected error would
    std::function<void(const scheduler::ReminderRequest&)> onReminder; // runs while the "window" is open

    void TurnMonitorOff() override { Did("monitor off", "monitor off"); }
    void LogOff() override { Did("log off", "log off"); }
    void LockComputer() override { Did("lock", "lock"); }
    void ForcedRestart() override { Did("restart", "restart"); }
    void ForcedShutDown() override { Did("shut down", "shut down"); }
    void Suspend(bool hibernate) override {
        Did(hibernate ? "hibernate" : "stand by", hibernate ? "hibernate" : "stand by");
    }
    void ShowReminderMessage(const std::string& text) override { log.push_back("message " + text); }
    void KillProcessesByName(const std::string& name) override { Did("kill " + name, "kill"); }
    void OpenWebAddress(const std::string& address) override { Did("url " + address, "url"); }
    void OpenDocument(const std::string& path) override { Did("open " + path, "open"); }
    bool StartTaskMacro(const std::string& path) override {
        log.push_back("macro " + path);
        if (!macroStarts && !macroRefusal.empty())
            failed_.push_back(
                {scheduler::RunOutcome::kFailed, "Macro", "the macro was not played: " + macroRefusal});
        return macroStarts;
    }
    void LaunchProgram(const std::string& launch) override { Did("launch " + launch, "launch"); }
    std::vector<scheduler::ActionFailure> TakeFailures() override { return std::exchange(failed_, {}); }
    void Record(const scheduler::RunEvent& e) override { events.push_back(e); }

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

  private:
    void Did(std::string line, const std::string& kind) {
        log.push_back(std::move(line));
        if (kind == throwing) throw std::runtime_error(kind + " failed");
        if (auto f = failing.find(kind); f != failing.end()) failed_.push_back(f->second);
    }
    std::vector<scheduler::ActionFailure> failed_;
};

} // namespace orvanta::test
