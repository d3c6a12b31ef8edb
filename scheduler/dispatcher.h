#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/api/clock.h"
#include "scheduler/dispatch_ports.h"
#include "scheduler/run_table.h"
#include "scheduler/scheduler_state.h"

namespace orvanta::scheduler {

// Runs due timed tasks and pressed hotkey tasks. Lives on the GUI thread.
class Dispatcher {
public:
    struct Ports {
        TaskActions& actions;
        ReminderPresenter& reminders;
        MainTimers& timers;
        CloseAllowance& closeAllowance;
        const platform::Clock& clock;
    };

    // table gives the current run table (a rebuild replaces it); rebuild must clear state.dispatchBusy
    // and re-arm the wake-up timers.
    Dispatcher(SchedulerState& state, Ports ports, std::function<RunTable&()> table, std::function<void()> rebuild);

    // One pass over the task rows for due key k.
    void DispatchDueTasks(const std::string& dueKey);

    // Runs the actions of every hotkey row with this ID, without confirmation and without a rebuild.
    void DispatchHotkeyTask(const std::string& taskId, const std::vector<TaskRow>& hotkeyRows);

private:
    struct Deferred {
        bool requested = false;
        bool immediate = false;
        std::string taskId, title;
        int countdown = 0;
    };
    // Returns false when a macro could not be started, which ends the pass.
    bool RunRow(std::size_t rowIndex, Deferred& standBy, Deferred& hibernate, Deferred& shutDown);
    void RunDeferred(const Deferred& d, const char* actionWord, const std::function<void()>& immediateAction);
    void Remind(const TaskRow& row, int countdown, const char* actionWord);

    SchedulerState& state_;
    Ports ports_;
    std::function<RunTable&()> table_;
    std::function<void()> rebuild_;
};

// Countdown as the pass reads it: a decimal integer; anything else counts as 0 (run at once), since a
// value the store never writes cannot be a count-down the user asked for.
int ParseCountdown(const std::string& text);

} // namespace orvanta::scheduler
