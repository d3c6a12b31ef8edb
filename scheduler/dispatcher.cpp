#include "scheduler/dispatcher.h"

#include <charconv>

namespace orvanta::scheduler {
namespace {

constexpr const char* kLaunchMarker = "OpenEXE";

int EventOf(const TaskRow& row) { return ParseCountdown(row[kColEvent]); }

void SplitLaunch(const std::string& launch, std::string& program, std::string& parameters) {
    const auto bar = launch.find('|');
    program = launch.substr(0, bar);
    parameters = bar == std::string::npos ? std::string() : launch.substr(bar + 1);
}

} // namespace

int ParseCountdown(const std::string& text) {
    int value = 0;
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return (ec == std::errc() && ptr == end) ? value : 0;
}

Dispatcher::Dispatcher(SchedulerState& state, Ports ports, std::function<RunTable&()> table,
                       std::function<void()> rebuild)
    : state_(state), ports_(ports), table_(std::move(table)), rebuild_(std::move(rebuild)) {}

void Dispatcher::Remind(const TaskRow& row, int countdown, const char* actionWord) {
    ReminderRequest r;
    r.taskId = row[kColId];
    r.countdown = countdown;
    r.title = row[kColTitle];
    r.actionWord = actionWord;
    ports_.reminders.ShowReminder(r);
}

bool Dispatcher::RunRow(std::size_t index, Deferred& standBy, Deferred& hibernate, Deferred& shutDown) {
    // Copied: a reminder may rebuild the table while it is open, which would pull the row from under us.
    RunTable& table = table_();
    const TaskRow row = table.taskRows[index];
    table.taskRows[index][kColFired] = "1";
    const int countdown = ParseCountdown(row[kColCountdown]);
    const bool immediate = countdown <= 0;
    const int event = EventOf(row);
    TaskActions& act = ports_.actions;

    if (event == 8) {
        if (immediate) act.TurnMonitorOff();
        else Remind(row, countdown, "CloseMonitor");
    }
    if (event == 7) {
        if (immediate) {
            ports_.closeAllowance.AllowClose();
            act.LogOff();
        } else {
            Remind(row, countdown, "LogOff");
        }
    }
    if (!row[kColMessage].empty()) act.ShowReminderMessage(row[kColMessage]);
    if (event == 4) {
        if (immediate) act.LockComputer();
        else Remind(row, countdown, "LockWS");
    }
    auto record = [&](Deferred& d) { d = {true, immediate, row[kColId], row[kColTitle], countdown}; };
    if (event == 3) {
        record(shutDown);
    } else if (event == 2) {
        if (immediate) {
            ports_.closeAllowance.AllowClose();
            act.ForcedRestart();
        } else {
            Remind(row, countdown, "Reboot");
        }
    }
    if (event == 5) record(standBy);
    if (event == 6) record(hibernate);

    ReminderRequest pending;
    bool anyPending = false;
    auto step = [&](std::size_t column, std::string ReminderRequest::*slot, const std::function<bool()>& run) {
        if (row[column].empty()) return true;
        if (immediate) return run();
        pending.*slot = row[column];
        anyPending = true;
        return true;
    };
    step(kColTerminate, &ReminderRequest::terminate, [&] { act.KillProcessesByName(row[kColTerminate]); return true; });
    step(kColOpenUrl, &ReminderRequest::openUrl, [&] { act.OpenWebAddress(row[kColOpenUrl]); return true; });
    step(kColOpenFile, &ReminderRequest::openFile, [&] { act.OpenDocument(row[kColOpenFile]); return true; });
    if (!step(kColMacro, &ReminderRequest::macro, [&] { return act.StartTaskMacro(row[kColMacro]); }))
        return false;
    if (!row[kColLaunch].empty()) {
        if (immediate) {
            act.LaunchProgram(row[kColLaunch]);
        } else {
            SplitLaunch(row[kColLaunch], pending.program, pending.parameters);
            pending.launchMarker = kLaunchMarker;
            anyPending = true;
        }
    }
    if (!immediate && anyPending) {
        pending.taskId = row[kColId];
        pending.countdown = countdown;
        pending.title = row[kColTitle];
        ports_.reminders.ShowReminder(pending);
    }
    return true;
}

void Dispatcher::RunDeferred(const Deferred& d, const char* actionWord, const std::function<void()>& immediateAction) {
    if (!d.requested) return;
    if (d.immediate) {
        immediateAction();
        return;
    }
    ReminderRequest r;
    r.taskId = d.taskId;
    r.title = d.title;
    r.countdown = d.countdown;
    r.actionWord = actionWord;
    ports_.reminders.ShowReminder(r);
}

void Dispatcher::DispatchDueTasks(const std::string& dueKey) {
    if (state_.dispatchBusy) return;
    // Both waiters hand over the same key when a wake-up task and another task share a second; the
    // first pass has run every row of that key, and a once task must not run twice.
    if (!dueKey.empty() && dueKey == state_.lastDispatchedKey) return;
    state_.dispatchBusy = true;
    state_.lastDispatchedKey = dueKey;
    ports_.timers.SetPollEnabled(false);

    Deferred standBy, hibernate, shutDown;
    const std::size_t rowsAtStart = table_().taskRowCount;
    bool macroFailed = false;
    // The table is fetched afresh each step: a postponement in a reminder may have replaced it.
    for (std::size_t i = 0; i < rowsAtStart && i < table_().taskRows.size(); ++i) {
        const TaskRow& row = table_().taskRows[i];
        if (row[kColEnabled] != "1" || row[kColDueKey] != dueKey || row[kColFired] == "1" || row[kColDateMode] == "0")
            continue;
        if (!RunRow(i, standBy, hibernate, shutDown)) {
            macroFailed = true;
            break;
        }
    }

    rebuild_();
    state_.lastPollTime = ports_.clock.now();
    ports_.timers.SetPollEnabled(true);
    if (macroFailed) return;

    TaskActions& act = ports_.actions;
    RunDeferred(standBy, "StandBy", [&] { act.Suspend(false); });
    RunDeferred(hibernate, "Hibernate", [&] { act.Suspend(true); });
    RunDeferred(shutDown, "ShutDown", [&] {
        ports_.closeAllowance.AllowClose();
        act.ForcedShutDown();
    });
}

void Dispatcher::DispatchHotkeyTask(const std::string& taskId, const std::vector<TaskRow>& hotkeyRows) {
    TaskActions& act = ports_.actions;
    for (const TaskRow& row : hotkeyRows) {
        if (row[kColId] != taskId) continue;
        const int event = EventOf(row);
        if (event == 8) act.TurnMonitorOff();
        if (event == 7) {
            ports_.closeAllowance.AllowClose();
            act.LogOff();
        }
        if (!row[kColMessage].empty()) act.ShowReminderMessage(row[kColMessage]);
        if (event == 4) act.LockComputer();
        if (event == 2) {
            ports_.closeAllowance.AllowClose();
            act.ForcedRestart();
        }
        // Nothing is deferred past the row: suspend and shut down run before its program actions.
        if (event == 5) act.Suspend(false);
        if (event == 6) act.Suspend(true);
        if (event == 3) {
            ports_.closeAllowance.AllowClose();
            act.ForcedShutDown();
        }
        if (!row[kColTerminate].empty()) act.KillProcessesByName(row[kColTerminate]);
        if (!row[kColOpenUrl].empty()) act.OpenWebAddress(row[kColOpenUrl]);
        if (!row[kColOpenFile].empty()) act.OpenDocument(row[kColOpenFile]);
        if (!row[kColMacro].empty() && !act.StartTaskMacro(row[kColMacro])) return;
        if (!row[kColLaunch].empty()) act.LaunchProgram(row[kColLaunch]);
    }
}

} // namespace orvanta::scheduler
