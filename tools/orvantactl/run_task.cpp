#include "tools/orvantactl/run_task.h"

#include "data/error.h"
#include "scheduler/dispatcher.h"
#include "scheduler/task_row.h"

namespace orvanta::ctl {
namespace {

// Names every action on the way to the real ones, so the user sees what the task did.
class ReportingActions : public scheduler::TaskActions {
  public:
    ReportingActions(scheduler::TaskActions& inner, std::ostream& out) : inner_(inner), out_(out) {}

    bool macroFailed = false;

    void TurnMonitorOff() override { Say("turn the monitor off"), inner_.TurnMonitorOff(); }
    void LogOff() override { Say("log off"), inner_.LogOff(); }
    void LockComputer() override { Say("lock the session"), inner_.LockComputer(); }
    void ForcedRestart() override { Say("restart"), inner_.ForcedRestart(); }
    void ForcedShutDown() override { Say("shut down"), inner_.ForcedShutDown(); }
    void Suspend(bool hibernate) override {
        Say(hibernate ? "hibernate" : "stand by"), inner_.Suspend(hibernate);
    }
    void ShowReminderMessage(const std::string& text) override {
        Say("show the message");
        inner_.ShowReminderMessage(text);
    }
    void KillProcessesByName(const std::string& name) override {
        Say("end the processes of " + name);
        inner_.KillProcessesByName(name);
    }
    void OpenWebAddress(const std::string& address) override {
        Say("open the address " + address);
        inner_.OpenWebAddress(address);
    }
    void OpenDocument(const std::string& path) override {
        Say("open the file " + path);
        inner_.OpenDocument(path);
    }
    bool StartTaskMacro(const std::string& path) override {
        Say("play the macro " + path);
        macroFailed = !inner_.StartTaskMacro(path);
        return !macroFailed;
    }
    void LaunchProgram(const std::string& launch) override {
        Say("launch " + launch);
        inner_.LaunchProgram(launch);
    }

  private:
    void Say(const std::string& what) { out_ << "run: " << what << '\n' << std::flush; }
    scheduler::TaskActions& inner_;
    std::ostream& out_;
};

// Nothing of the main window exists here: no reminder is shown for a hotkey-style run and no timer is
// driven; the close permission matters only to a running main window.
class NoWindow : public scheduler::ReminderPresenter,
                 public scheduler::MainTimers,
                 public scheduler::CloseAllowance {
  public:
    void ShowReminder(const scheduler::ReminderRequest&) override {}
    void SetPollEnabled(bool) override {}
    void StartWakeHandOver() override {}
    void StartDueHandOver() override {}
    void StartWakeUpNudge() override {}
    void AllowClose() override {}
};

scheduler::TaskRow FindTaskRow(const data::TaskStore& store, const std::string& id) {
    data::DataSet rows = store.readAllTasks();
    for (; !rows.eof(); rows.next())
        if (rows.fieldAsText("ID") == id) return scheduler::ReadTaskRow(rows);
    throw Error("no task with ID " + id);
}

} // namespace

void RunTaskNow(const data::TaskStore& store, const std::string& id, scheduler::TaskActions& actions,
                const platform::Clock& clock, std::ostream& out) {
    const scheduler::TaskRow row = FindTaskRow(store, id);
    ReportingActions reporting(actions, out);
    NoWindow window;
    scheduler::SchedulerState state;
    scheduler::RunTable none;
    // A run from the command line is the user's own doing, not a firing: it is not kept in the history.
    scheduler::NoRunEvents noHistory;
    scheduler::Dispatcher dispatcher(
        state, {reporting, window, window, window, clock, noHistory},
        [&]() -> scheduler::RunTable& { return none; }, [] {});
    dispatcher.DispatchHotkeyTask(id, {row});
    if (reporting.macroFailed)
        throw Error("the macro " + row[scheduler::kColMacro] +
                    " could not be started; the task's later actions did not run");
}

} // namespace orvanta::ctl
