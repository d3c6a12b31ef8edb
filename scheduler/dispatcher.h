#pragma once

#include "data/task_record.h"
#include "platform/api/clock.h"
#include "scheduler/dispatch_ports.h"
#include "scheduler/run_events.h"
#include "scheduler/run_table.h"
#include "scheduler/scheduler_state.h"

#include <algorithm>
#include <cstdint>
#include <deque>
#include <exception>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvanta::scheduler {

// Where a power or session event runs among a row's actions. A timed pass leaves the last kind until
// after its rebuild, so the next wake-up is armed before the computer sleeps or stops.
enum class EventStep { BeforeMessage, AfterMessage, AfterThePass };

struct EventAction {
    data::EventCode event;
    EventStep step;
    const char* actionWord; // the confirmation's word for it
    bool endsSession;       // the main window must first allow itself to be closed
    void (*run)(TaskActions&);
};

// Runs due timed tasks and pressed hotkey tasks. Lives on the GUI thread.
class Dispatcher {
  public:
    struct Ports {
        TaskActions& actions;
        ReminderPresenter& reminders;
        MainTimers& timers;
        CloseAllowance& closeAllowance;
        const platform::Clock& clock;
        // Told what became of every row a pass or a press runs, and of a due key that was not run.
        RunEventSink& events;
    };

    // table gives the current run table (a rebuild replaces it); rebuild must clear state.dispatchBusy
    // and re-arm the wake-up timers.
    Dispatcher(SchedulerState& state, Ports ports, std::function<RunTable&()> table,
               std::function<void()> rebuild);

    // One pass over the task rows for due key k, which a hand-over brings. While a pass runs (its
    // confirmation open), keys are kept and run in order once it has ended. Every pass ends with a
    // rebuild and the poll running, whatever happens during it; a failed rebuild or action is raised
    // after that.
    void DispatchDueTasks(const std::string& dueKey);

    // A key kept while a pass ran is still run when it is at most this late by then.
    static constexpr std::int64_t kQueuedKeyToleranceMs = 60'000;
    // A key straight from its hand-over: the wake waiter accepts up to a minute late, and the hand-over
    // and a GUI thread busy after a resume add to that.
    static constexpr std::int64_t kHandedKeyToleranceMs = 75'000;
    bool PassRunning() const { return passRunning_; }
    // Whether a key waits behind the running pass (its rows are not gone by: the pass will tell).
    bool Keeps(const std::string& dueKey) const {
        return std::find(keptKeys_.begin(), keptKeys_.end(), dueKey) != keptKeys_.end();
    }

    // Runs the actions of every hotkey row with this ID, without confirmation and without a rebuild.
    void DispatchHotkeyTask(const std::string& taskId, const std::vector<TaskRow>& hotkeyRows);

  private:
    // A stand-by, hibernation or shut-down a row asked for, run once the pass has ended.
    struct Deferred {
        const EventAction* action = nullptr;
        bool immediate = false;
        std::string taskId, title;
        int countdown = 0;
    };
    void RunPass(const std::string& dueKey, std::int64_t toleranceMs);
    // Whether the row is due for the key: its due key, or (when the table was computed after the key's
    // moment, so rows have moved on) a schedule that has the key as one of its moments.
    bool DueFor(const TaskRow& row, const std::string& dueKey, bool tableMovedOn) const;
    // Returns false when a macro could not be started, which ends the pass.
    bool RunRow(std::size_t rowIndex, std::vector<Deferred>& deferred);
    void RunDeferred(const std::vector<Deferred>& deferred);
    // The one place a power or session action runs, immediate or confirmed.
    void Perform(const EventAction& action);
    void Remind(const TaskRow& row, int countdown, const char* actionWord);
    // The run history's side of a row: what it ran, or what did not go through.
    void Report(const TaskRow& row, const std::string& dueKey, RunOutcome outcome, std::string action,
                std::string reason);
    void Report(const std::string& taskId, const std::string& title, const std::string& dueKey,
                RunOutcome outcome, std::string action, std::string reason);
    // Ran with these actions, or failed with what the actions took back; nothing when there is neither.
    void ReportActionsDone(const TaskRow& row, const std::string& dueKey, const std::string& actions);
    void ReportMacroNotStarted(const TaskRow& row, const std::string& dueKey);
    // One entry for the row: the first failure decides its outcome, the reasons of all are kept.
    void ReportFailures(const TaskRow& row, const std::string& dueKey,
                        const std::vector<ActionFailure>& failures);
    // Tells every row due for the key that has neither run nor been told yet. Settled: they are done with
    // this moment, and a later hand-over of the same key does not run them after all.
    void ReportNotRun(const std::string& dueKey, const std::string& reason, bool settled = false);

    SchedulerState& state_;
    Ports ports_;
    std::function<RunTable&()> table_;
    std::function<void()> rebuild_;
    void BeforeConfirmation();

    bool passRunning_ = false;
    bool rearmedThisPass_ = false;
    std::exception_ptr passFailure_;
    std::deque<std::string> keptKeys_;
    std::string passKey_; // the key of the running pass, for its reports
};

// Countdown as the pass reads it: a decimal integer, one beyond what an int holds as the largest int.
// nullopt for anything else (empty, not a number).
std::optional<int> ParseCountdown(std::string_view text);

// The count-down a row runs with. A value that cannot be read never means "no confirmation" for a power
// or session action: such a row waits for the user (the largest count-down). A program-only row with an
// unreadable value runs at once, as the store never writes one.
int CountdownOf(const TaskRow& row);

// What a row is to do, for the run history: its power or session word and its program actions, joined
// by "+" ("ShutDown", "Launch+OpenURL"); empty for a row that only wakes the computer.
std::string ActionsOf(const TaskRow& row);

} // namespace orvanta::scheduler
