#include "scheduler/run_now.h"

#include "data/error.h"
#include "scheduler/dispatcher.h"
#include "scheduler/task_row.h"

namespace orvanta::scheduler {
namespace {

// Names every action on the way to the real ones, so the user sees what the task did.
class ReportingActions : public TaskActions {
  public:
    ReportingActions(TaskActions& inner, const std::function<void(const std::string&)>& say)
        : inner_(inner), say_(say) {}

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
    void Say(const std::string& what) { say_(what); }
    TaskActions& inner_;
    const std::function<void(const std::string&)>& say_;
};

// A hotkey-style run shows no reminder and drives no timer.
class NoWindow : public ReminderPresenter, public MainTimers {
  public:
    void ShowReminder(const ReminderRequest&) override {}
    void SetPollEnabled(bool) override {}
    void StartWakeHandOver() override {}
    void StartDueHandOver() override {}
    void StartWakeUpNudge() override {}
};

TaskRow FindTaskRow(const data::TaskStore& store, const std::string& id) {
    data::DataSet rows = store.readAllTasks();
    for (; !rows.eof(); rows.next())
        if (rows.fieldAsText("ID") == id) return ReadTaskRow(rows);
    throw Error("no task with ID " + id);
}

} // namespace

void RunTaskNow(const data::TaskStore& store, const std::string& id, TaskActions& actions,
                CloseAllowance& closeAllowance, const platform::Clock& clock,
                const std::function<void(const std::string& action)>& say) {
    const TaskRow row = FindTaskRow(store, id);
    ReportingActions reporting(actions, say);
    NoWindow window;
    SchedulerState state;
    RunTable none;
    // A run asked for by the user is the user's own doing, not a firing: it is not kept in the history.
    NoRunEvents noHistory;
    Dispatcher dispatcher(
        state, {reporting, window, window, closeAllowance, clock, noHistory},
        [&]() -> RunTable& { return none; }, [] {});
    dispatcher.DispatchHotkeyTask(id, {row});
    if (!reporting.macroFailed) return;
    // Why, where the actions can tell: a file that will not do, or the desktop's refusal.
    std::string why;
    for (const ActionFailure& failure : actions.TakeFailures())
        if (failure.action == "Macro") why = " (" + failure.reason + ")";
    throw Error("the macro " + std::string(row[kColMacro]) + " could not be started" + why +
                "; the task's later actions did not run");
}

} // namespace orvanta::scheduler
