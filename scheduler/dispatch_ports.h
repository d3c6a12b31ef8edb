#pragma once

#include "scheduler/run_events.h"

#include <string>
#include <vector>

namespace orvanta::scheduler {

// An action that did not go through: a program the system could not start, a power request it refused.
struct ActionFailure {
    RunOutcome outcome = RunOutcome::kFailed; // kFailed or kRefused
    std::string action;                       // "Launch", "ShutDown", ...
    std::string reason;                       // in the system's own words where it gave any

    bool operator==(const ActionFailure&) const = default;
};

// The actions a task can carry, as the dispatcher asks for them. The actions layer implements these on
// the platform; tests record them. None of them reports failure except the macro start, whose failure
// ends the pass.
class TaskActions {
  public:
    virtual ~TaskActions() = default;
    virtual void TurnMonitorOff() = 0;
    virtual void LogOff() = 0;
    virtual void LockComputer() = 0;
    virtual void ForcedRestart() = 0;
    virtual void ForcedShutDown() = 0; // with power off
    virtual void Suspend(bool hibernate) = 0;
    virtual void ShowReminderMessage(const std::string& text) = 0;
    virtual void KillProcessesByName(const std::string& name) = 0;
    virtual void OpenWebAddress(const std::string& address) = 0;
    virtual void OpenDocument(const std::string& path) = 0;
    // False when the macro file cannot be read.
    virtual bool StartTaskMacro(const std::string& path) = 0;
    virtual void LaunchProgram(const std::string& launch) = 0; // program, "|", parameters
    // The actions asked for since the last call that did not go through, oldest first; taking them
    // empties the list. An implementation that cannot tell answers none.
    virtual std::vector<ActionFailure> TakeFailures() { return {}; }
};

// What the confirmation window is given. Empty values mean "nothing of that kind pending".
struct ReminderRequest {
    std::string taskId;
    std::string macro;
    std::string openFile;
    std::string terminate;
    std::string openUrl;
    std::string launchMarker; // "OpenEXE" when a program is pending
    int countdown = 0;
    std::string title;
    std::string program;
    std::string parameters;
    std::string
        actionWord;     // "CloseMonitor", "LogOff", "LockWS", "Reboot", "StandBy", "Hibernate", "ShutDown"
    std::string dueKey; // the occurrence it confirms, for the run history

    // The same question: what is asked, whichever occurrence asks it.
    bool operator==(const ReminderRequest& o) const {
        return taskId == o.taskId && macro == o.macro && openFile == o.openFile && terminate == o.terminate &&
               openUrl == o.openUrl && launchMarker == o.launchMarker && countdown == o.countdown &&
               title == o.title && program == o.program && parameters == o.parameters &&
               actionWord == o.actionWord;
    }
};

// Shows the confirmation window modally: returns when it has closed. The window may rebuild the run
// table meanwhile (a postponement).
class ReminderPresenter {
  public:
    virtual ~ReminderPresenter() = default;
    virtual void ShowReminder(const ReminderRequest& request) = 0;
};

// The main window's timers as the scheduler drives them. The waiter threads call these too, so an
// implementation must be safe to call from any thread (the window posts to its own thread).
class MainTimers {
  public:
    virtual ~MainTimers() = default;
    virtual void SetPollEnabled(bool enabled) = 0; // tmr302
    virtual void StartWakeHandOver() = 0;          // doWake
    virtual void StartDueHandOver() = 0;           // doNoWake
    virtual void StartWakeUpNudge() = 0;           // Timer12
};

// The process-wide permission for the main window's close to end the program; set before a log off,
// restart or shut down so the session can end.
class CloseAllowance {
  public:
    virtual ~CloseAllowance() = default;
    virtual void AllowClose() = 0;
};

// The permission as the main window keeps it: a flag its close reads and its own commands set too.
class CloseAllowanceFlag final : public CloseAllowance {
  public:
    void AllowClose() override { allowed = true; }
    bool allowed = false;
};

} // namespace orvanta::scheduler
