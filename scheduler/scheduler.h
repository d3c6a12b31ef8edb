#pragma once

#include "data/task_store.h"
#include "i18n/text_lookup.h"
#include "platform/api/clock.h"
#include "platform/api/wake_timer.h"
#include "scheduler/dispatch_ports.h"
#include "scheduler/dispatcher.h"
#include "scheduler/poll_tick.h"
#include "scheduler/run_events.h"
#include "scheduler/run_table_rebuilder.h"
#include "scheduler/scheduler_state.h"
#include "scheduler/wake_arming.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace orvanta::scheduler {

// The scheduler as the main window drives it: the run table with its filters, the wake-up timers, the
// dispatcher and the poll. Every member runs on the GUI thread except where a port says otherwise.
// The handlers raise orvanta::Error for the window's error box only after their own work is complete,
// so a damaged task row never stops a pass half-way.
class Scheduler {
  public:
    struct Ports {
        const data::TaskStore& store;
        const platform::Clock& clock;
        const i18n::TextLookup& text;
        platform::WakeTimerFactory& wakeTimers;
        MainTimers& mainTimers;
        TaskActions& actions;
        ReminderPresenter& reminders;
        CloseAllowance& closeAllowance;
        std::function<int()> acLineStatus;          // 0 battery, 1 mains, 255 unknown
        std::function<void()> warnOnBattery;        // the balloon on the notification-area icon
        std::function<bool()> resumedAutomatically; // asked on the wake timer's thread
        // What became of every occurrence and press: run, confirmed, failed, or gone by without running.
        RunEventSink& events;
    };

    explicit Scheduler(Ports ports);

    // Recomputes the table from the database and re-arms the timers. Raises the list of tasks that could
    // not be scheduled (the table holds all the others) or a database error.
    void RebuildRunTable();
    // The same after the window's own writes: only the tasks it wrote are read again when the rows held
    // allow (RunTableRebuilder::RefreshRunTable).
    void RefreshRunTable();

    // The hand-over timers' handlers (doWake, doNoWake) and the poll (tmr302).
    void doWakeTimer();
    void doNoWakeTimer();
    void tmr302Timer();

    // The computer has come back from sleep: occurrences found gone by from now on were slept through.
    // Any thread.
    void NoteResume();

    // A pressed hotkey: runs the task's actions from the hotkey rows.
    void DispatchHotkeyTask(const std::string& taskId, const std::vector<TaskRow>& hotkeyRows);

    RunTableFilters& filters() { return filters_; }
    // The task last handed to or saved by the editor; no filter hides it.
    std::string& currentTaskId() { return currentTaskId_; }
    const RunTableBuild& current() const { return rebuilder_.current(); }
    // For the list's in-place toggle, which changes one row until the delayed rebuild replaces it.
    RunTable& table() { return rebuilder_.table(); }
    SchedulerState& state() { return state_; }
    // A dispatch pass is under way, its confirmation perhaps open: the pass walks the table row by row, so
    // nothing from outside may rebuild the table until it has ended (the pass's own rebuilds clear
    // dispatchBusy before a confirmation, which is why that flag does not tell).
    bool PassRunning() const { return dispatcher_.PassRunning(); }
    WakeArming& wakeArming() { return wakeArming_; }

  private:
    // Rebuilds and keeps the problems for the caller to raise once its steps are done.
    enum class Read { kEveryTask, kOwnWritesOnly };
    void RebuildKeepingProblems(Read read = Read::kEveryTask);
    void RaiseProblems();
    void HandOver(const std::function<std::string()>& takeKey);

    Ports ports_;
    SchedulerState state_;
    RunTableFilters filters_;
    std::string currentTaskId_;
    std::string problems_;
    std::string lastPollFailure_;
    std::atomic<std::int64_t> lastResumeUtcMs_{0};
    WakeArming wakeArming_;
    RunTableRebuilder rebuilder_;
    Dispatcher dispatcher_;
    PollTicker poll_;
};

} // namespace orvanta::scheduler
