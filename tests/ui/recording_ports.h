#pragma once

#include "scheduler/dispatch_ports.h"
#include "ui/error_box.h"

#include <QStringList>
#include <string>
#include <vector>

namespace orvanta::test {

// The task actions and the confirmation window, recorded in one log.
class RecordingActions : public scheduler::TaskActions, public scheduler::ReminderPresenter {
  public:
    std::vector<std::string> log;

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
        return true;
    }
    void LaunchProgram(const std::string& launch) override { log.push_back("launch " + launch); }
    void ShowReminder(const scheduler::ReminderRequest& r) override { log.push_back("reminder " + r.taskId); }
};

class RecordingErrorBox : public ui::ErrorBox {
  public:
    QStringList errors;
    void ShowError(const QString& message) override { errors << message; }
};

} // namespace orvanta::test
