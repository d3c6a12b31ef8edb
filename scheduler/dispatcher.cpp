#include "scheduler/dispatcher.h"

#include "data/error.h"
#include "data/task_record.h"
#include "scheduler/calendar.h"
#include "scheduler/task_row.h"
#include "scheduler/wake_keys.h"
#include "scheduler/zone_now.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <exception>
#include <utility>

namespace orvanta::scheduler {
namespace {

constexpr const char* kLaunchMarker = "OpenEXE";

int EventOf(const TaskRow& row) {
    return ParseCountdown(row[kColEvent]).value_or(data::kEventNone);
}

// What each power or session event does, with the confirmation's word for it. A task carries at most one.
// The steps that run after the pass do so in this order.
const EventAction kEventActions[] = {
    {data::kEventMonitorOff, EventStep::BeforeMessage, "CloseMonitor", false,
     [](TaskActions& a) { a.TurnMonitorOff(); }},
    {data::kEventLogOff, EventStep::BeforeMessage, "LogOff", true, [](TaskActions& a) { a.LogOff(); }},
    {data::kEventLock, EventStep::AfterMessage, "LockWS", false, [](TaskActions& a) { a.LockComputer(); }},
    {data::kEventRestart, EventStep::AfterMessage, "Reboot", true, [](TaskActions& a) { a.ForcedRestart(); }},
    {data::kEventStandBy, EventStep::AfterThePass, "StandBy", false,
     [](TaskActions& a) { a.Suspend(/*hibernate=*/false); }},
    {data::kEventHibernate, EventStep::AfterThePass, "Hibernate", false,
     [](TaskActions& a) { a.Suspend(/*hibernate=*/true); }},
    {data::kEventShutDown, EventStep::AfterThePass, "ShutDown", true,
     [](TaskActions& a) { a.ForcedShutDown(); }},
};

// nullptr for a task that only wakes the computer or runs programs.
const EventAction* ActionOf(int event) {
    for (const EventAction& action : kEventActions)
        if (action.event == event) return &action;
    return nullptr;
}

// A pass never runs a key before its moment: one handed over after the clock was set back is not due.
constexpr std::int64_t kEarliestMs = 0;

// Occurrences are remembered as run for a day and an hour (see RanOccurrences::ForgetBefore).
constexpr std::int64_t kRememberRunsMs = 25LL * 3'600'000;

void SplitLaunch(std::string_view launch, std::string& program, std::string& parameters) {
    const auto bar = launch.find('|');
    program = launch.substr(0, bar);
    parameters = bar == std::string::npos ? std::string() : launch.substr(bar + 1);
}

} // namespace

std::optional<int> ParseCountdown(std::string_view text) {
    long long value = 0;
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ptr != end || text.empty()) return std::nullopt;
    const bool negative = !text.empty() && text.front() == '-';
    if (ec == std::errc::result_out_of_range) return negative ? INT_MIN : INT_MAX;
    if (ec != std::errc()) return std::nullopt;
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}

int CountdownOf(const TaskRow& row) {
    if (const auto c = ParseCountdown(row[kColCountdown])) return *c;
    return ActionOf(EventOf(row)) ? INT_MAX : 0;
}

namespace {

// withEvent: the power or session word and the message too; else only what a confirmation carries.
std::string JoinActions(const TaskRow& row, bool withEvent, bool withMessage) {
    std::string joined;
    auto add = [&joined](const char* name) {
        if (!joined.empty()) joined += '+';
        joined += name;
    };
    if (const EventAction* action = ActionOf(EventOf(row)); action && withEvent) add(action->actionWord);
    if (withMessage && !row[kColMessage].empty()) add("Message");
    const std::pair<std::size_t, const char*> programActions[] = {{kColTerminate, "Terminate"},
                                                                  {kColOpenUrl, "OpenURL"},
                                                                  {kColOpenFile, "OpenFile"},
                                                                  {kColMacro, "Macro"},
                                                                  {kColLaunch, "Launch"}};
    for (const auto& [column, name] : programActions)
        if (!row[column].empty()) add(name);
    return joined;
}

} // namespace

std::string ActionsOf(const TaskRow& row) {
    return JoinActions(row, true, true);
}

Dispatcher::Dispatcher(SchedulerState& state, Ports ports, std::function<RunTable&()> table,
                       std::function<void()> rebuild)
    : state_(state), ports_(ports), table_(std::move(table)), rebuild_(std::move(rebuild)) {}

void Dispatcher::Report(const TaskRow& row, const std::string& dueKey, RunOutcome outcome, std::string action,
                        std::string reason) {
    Report(std::string(row[kColId]), std::string(row[kColTitle]), dueKey, outcome, std::move(action),
           std::move(reason));
}

void Dispatcher::Report(const std::string& taskId, const std::string& title, const std::string& dueKey,
                        RunOutcome outcome, std::string action, std::string reason) {
    ports_.events.Record({taskId, title, dueKey, std::move(action), outcome, std::move(reason)});
}

void Dispatcher::ReportActionsDone(const TaskRow& row, const std::string& dueKey,
                                   const std::string& actions) {
    const std::vector<ActionFailure> failures = ports_.actions.TakeFailures();
    if (!failures.empty())
        ReportFailures(row, dueKey, failures);
    else if (!actions.empty())
        Report(row, dueKey, RunOutcome::kRan, actions, {});
}

void Dispatcher::ReportMacroNotStarted(const TaskRow& row, const std::string& dueKey) {
    // The actions say why where they know (this desktop plays no macro); else it is the file.
    std::vector<ActionFailure> failures = ports_.actions.TakeFailures();
    if (failures.empty())
        failures.push_back(
            {RunOutcome::kFailed, "Macro", "the macro file cannot be read: " + std::string(row[kColMacro])});
    ReportFailures(row, dueKey, failures);
}

void Dispatcher::ReportFailures(const TaskRow& row, const std::string& dueKey,
                                const std::vector<ActionFailure>& failures) {
    std::string actions, reasons;
    for (const ActionFailure& f : failures) {
        actions += (actions.empty() ? "" : "+") + f.action;
        reasons += (reasons.empty() ? "" : "; ") + f.reason;
    }
    Report(row, dueKey, failures.front().outcome, actions, reasons);
}

void Dispatcher::ReportNotRun(const std::string& dueKey, const std::string& reason, bool settled) {
    bool named = false;
    const auto due = ParseDueKey(dueKey);
    const bool movedOn = due && table_().builtAtUtcMs >= ports_.clock.utcMsOf(*due);
    for (const TaskRow& row : table_().taskRows) {
        if (row[kColEnabled] != "1" || row[kColDateMode] == "0" || !DueFor(row, dueKey, movedOn)) continue;
        // A key can come back (both waiters hand it over, a kept copy turns late): what ran, or was told
        // as not run already, is not told again.
        if (state_.ran.Contains(row[kColId], dueKey) || state_.toldNotRun.Contains(row[kColId], dueKey)) {
            named = true;
            continue;
        }
        Report(row, dueKey, RunOutcome::kSkipped, ActionsOf(row), reason);
        if (const auto wall = ParseDueKey(dueKey)) {
            state_.toldNotRun.Add(row[kColId], dueKey, LocalMilliseconds(*wall));
            if (settled) state_.ran.Add(row[kColId], dueKey, LocalMilliseconds(*wall));
        }
        named = true;
    }
    if (!named) ports_.events.Record({{}, {}, dueKey, {}, RunOutcome::kSkipped, reason});
}

void Dispatcher::Remind(const TaskRow& row, int countdown, const char* actionWord) {
    ReminderRequest r;
    r.taskId = row[kColId];
    r.countdown = countdown;
    r.title = row[kColTitle];
    r.actionWord = actionWord;
    r.dueKey = passKey_;
    BeforeConfirmation();
    Report(row, passKey_, RunOutcome::kConfirmationOpened, actionWord,
           "count-down " + std::to_string(countdown) + " s");
    ports_.reminders.ShowReminder(r);
}

void Dispatcher::Perform(const EventAction& action) {
    if (action.endsSession) ports_.closeAllowance.AllowClose();
    action.run(ports_.actions);
}

bool Dispatcher::RunRow(std::size_t index, std::vector<Deferred>& deferred) {
    // Copied: a reminder may rebuild the table while it is open, which would pull the row from under us.
    RunTable& table = table_();
    const TaskRow row = table.taskRows[index];
    table.taskRows[index].Set(kColFired, "1");
    const int countdown = CountdownOf(row);
    const bool immediate = countdown <= 0;
    const EventAction* action = ActionOf(EventOf(row));
    TaskActions& act = ports_.actions;
    act.TakeFailures(); // what went wrong before this row is not this row's

    auto runAt = [&](EventStep step) {
        if (!action || action->step != step) return;
        if (immediate)
            Perform(*action);
        else
            Remind(row, countdown, action->actionWord);
    };
    runAt(EventStep::BeforeMessage);
    if (!row[kColMessage].empty()) act.ShowReminderMessage(std::string(row[kColMessage]));
    runAt(EventStep::AfterMessage);
    if (action && action->step == EventStep::AfterThePass) {
        const Deferred request{action, immediate, std::string(row[kColId]), std::string(row[kColTitle]),
                               countdown};
        auto same = std::find_if(deferred.begin(), deferred.end(),
                                 [&](const Deferred& d) { return d.action == action; });
        if (same == deferred.end()) {
            deferred.push_back(request);
        } else {
            // Asked again by a later row: runs once, for that row.
            Report(same->taskId, same->title, passKey_, RunOutcome::kSkipped, action->actionWord,
                   "left to task \"" + request.title + "\", due at the same moment with the same action");
            *same = request;
        }
    }

    ReminderRequest pending;
    bool anyPending = false;
    auto step = [&](std::size_t column, std::string ReminderRequest::*slot,
                    const std::function<bool()>& run) {
        if (row[column].empty()) return true;
        if (immediate) return run();
        pending.*slot = row[column];
        anyPending = true;
        return true;
    };
    step(kColTerminate, &ReminderRequest::terminate, [&] {
        act.KillProcessesByName(std::string(row[kColTerminate]));
        return true;
    });
    step(kColOpenUrl, &ReminderRequest::openUrl, [&] {
        act.OpenWebAddress(std::string(row[kColOpenUrl]));
        return true;
    });
    step(kColOpenFile, &ReminderRequest::openFile, [&] {
        act.OpenDocument(std::string(row[kColOpenFile]));
        return true;
    });
    if (!step(kColMacro, &ReminderRequest::macro,
              [&] { return act.StartTaskMacro(std::string(row[kColMacro])); })) {
        ReportMacroNotStarted(row, passKey_);
        return false;
    }
    if (!row[kColLaunch].empty()) {
        if (immediate) {
            act.LaunchProgram(std::string(row[kColLaunch]));
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
        pending.dueKey = passKey_;
        BeforeConfirmation();
        Report(row, passKey_, RunOutcome::kConfirmationOpened, JoinActions(row, false, false),
               "count-down " + std::to_string(countdown) + " s");
        ports_.reminders.ShowReminder(pending);
    }
    // A row that waits for a confirmation is reported by it; a power action of the pass's end, once it
    // has been carried out, as the pass may still be cut short before it.
    const bool actionAfterThePass = action && action->step == EventStep::AfterThePass;
    if (immediate)
        ReportActionsDone(row, passKey_, JoinActions(row, !actionAfterThePass, true));
    else if (!action && !anyPending)
        ReportActionsDone(row, passKey_, ActionsOf(row));
    return true;
}

void Dispatcher::RunDeferred(const std::vector<Deferred>& deferred) {
    // In the table's order: a stand-by that returns is followed by the hibernation or shut-down.
    for (const EventAction& action : kEventActions) {
        auto d = std::find_if(deferred.begin(), deferred.end(),
                              [&](const Deferred& r) { return r.action == &action; });
        if (d == deferred.end()) continue;
        if (d->immediate) {
            ports_.actions.TakeFailures();
            try {
                Perform(action);
            } catch (const std::exception& e) {
                // Told, and the error box shows it once the pass is through; a later action still runs.
                Report(d->taskId, d->title, passKey_, RunOutcome::kFailed, action.actionWord, e.what());
                if (!passFailure_) passFailure_ = std::current_exception();
                continue;
            }
            const std::vector<ActionFailure> failures = ports_.actions.TakeFailures();
            if (failures.empty())
                Report(d->taskId, d->title, passKey_, RunOutcome::kRan, action.actionWord, {});
            for (const ActionFailure& f : failures)
                Report(d->taskId, d->title, passKey_, f.outcome, f.action, f.reason);
            continue;
        }
        ReminderRequest r;
        r.taskId = d->taskId;
        r.title = d->title;
        r.countdown = d->countdown;
        r.actionWord = action.actionWord;
        r.dueKey = passKey_;
        Report(d->taskId, d->title, passKey_, RunOutcome::kConfirmationOpened, action.actionWord,
               "count-down " + std::to_string(d->countdown) + " s");
        ports_.reminders.ShowReminder(r);
    }
}

bool Dispatcher::DueFor(const TaskRow& row, const std::string& dueKey, bool tableMovedOn) const {
    if (row[kColDueKey] == dueKey) return true;
    if (!tableMovedOn) return false;
    // Computed after the moment: a task that was due then has moved on to its next occurrence. It was
    // due when its schedule, seen from just before the moment, gives the moment.
    const auto due = ParseDueKey(dueKey);
    if (!due) return false;
    try {
        const platform::Clock& clock = ports_.clock;
        return NextOccurrenceAsShown(ParseSchedule(row), clock.localOf(clock.utcMsOf(*due) - 1), clock) ==
               *due;
    } catch (const Error&) {
        return false; // the rebuild has reported this row already
    }
}

void Dispatcher::DispatchDueTasks(const std::string& dueKey) {
    if (passRunning_) {
        // A confirmation of the running pass is open; this key runs once the pass has ended.
        keptKeys_.push_back(dueKey);
        return;
    }
    std::exception_ptr failure;
    auto keepFirst = [&failure](std::exception_ptr e) {
        if (!failure) failure = std::move(e);
    };
    try {
        RunPass(dueKey, kHandedKeyToleranceMs);
    } catch (...) {
        keepFirst(std::current_exception());
    }
    while (!keptKeys_.empty()) {
        const std::string key = std::move(keptKeys_.front());
        keptKeys_.pop_front();
        try {
            RunPass(key, kQueuedKeyToleranceMs);
        } catch (...) {
            keepFirst(std::current_exception());
        }
    }
    if (failure) std::rethrow_exception(failure);
}

void Dispatcher::BeforeConfirmation() {
    // The timer that brought this key is spent until the pass's rebuild; a confirmation can stay open
    // for minutes, and tasks due meanwhile must still fire (their keys are kept, see DispatchDueTasks).
    // So the table moves on to the next occurrences now, once per pass; the rows of this key are still
    // found in it (DueFor).
    if (rearmedThisPass_) return;
    rearmedThisPass_ = true;
    try {
        rebuild_();
    } catch (...) {
        if (!passFailure_) passFailure_ = std::current_exception();
    }
}

void Dispatcher::RunPass(const std::string& dueKey, std::int64_t toleranceMs) {
    // Whatever escapes, the next key must not be parked behind a pass that is over.
    struct PassEnd {
        bool& running;
        ~PassEnd() { running = false; }
    } passEnd{passRunning_};
    passRunning_ = true;
    passKey_ = dueKey;
    rearmedThisPass_ = false;
    state_.dispatchBusy = true;
    ports_.timers.SetPollEnabled(false);
    std::exception_ptr failure = std::exchange(passFailure_, nullptr);

    // A key is run only while it is due: not before its moment (the clock set back after the firing),
    // not long after it (kept behind a confirmation for too long).
    const auto late = LatenessMs(dueKey, ports_.clock);
    const bool due = late && *late >= kEarliestMs && *late <= toleranceMs;
    if (!due)
        ReportNotRun(dueKey, late && *late > toleranceMs ? "too late" : "not due (the clock was set back)");

    std::vector<Deferred> deferred;
    std::string cutShort; // why the pass ended before its last row, when it did
    if (due) {
        try {
            const auto dueWall = ParseDueKey(dueKey);
            const std::int64_t dueWallMs = LocalMilliseconds(*dueWall);
            const std::int64_t dueUtcMs = ports_.clock.utcMsOf(*dueWall);
            const std::size_t rowsAtStart = table_().taskRowCount;
            // The table is fetched afresh each step: a postponement in a reminder may have replaced it.
            for (std::size_t i = 0; i < rowsAtStart && i < table_().taskRows.size(); ++i) {
                const TaskRow& row = table_().taskRows[i];
                if (row[kColEnabled] != "1" || row[kColFired] == "1" || row[kColDateMode] == "0") continue;
                const bool movedOn = table_().builtAtUtcMs >= dueUtcMs;
                if (state_.ran.Contains(row[kColId], dueKey) || !DueFor(row, dueKey, movedOn)) continue;
                state_.ran.Add(row[kColId], dueKey, dueWallMs);
                const std::string title(row[kColTitle]);
                if (!RunRow(i, deferred)) {
                    cutShort = "the macro of task \"" + title + "\" did not start";
                    ReportNotRun(dueKey, "not run: " + cutShort, true);
                    break;
                }
            }
            state_.ran.ForgetBefore(LocalMilliseconds(ports_.clock.now()) - kRememberRunsMs);
            state_.toldNotRun.ForgetBefore(LocalMilliseconds(ports_.clock.now()) - kRememberRunsMs);
        } catch (...) {
            failure = std::current_exception();
            cutShort = "an error stopped the run of this moment";
        }
    }

    try {
        rebuild_();
    } catch (...) {
        // Nothing new is armed; the poll runs on and tries again at its next tick.
        if (!failure) failure = std::current_exception();
    }
    state_.dispatchBusy = false;
    state_.lastPollTime = ports_.clock.now();
    state_.lastPollUtcMs = ports_.clock.nowUtcMs();
    ports_.timers.SetPollEnabled(true);

    // A failed rebuild does not cancel a shut-down or stand-by the user asked for; a row that failed does.
    if (due && cutShort.empty()) {
        try {
            RunDeferred(deferred);
        } catch (...) {
            failure = std::current_exception();
        }
    } else {
        for (const Deferred& d : deferred)
            Report(d.taskId, d.title, passKey_, RunOutcome::kSkipped, d.action->actionWord,
                   "cancelled: " + cutShort);
    }
    if (!failure) failure = std::exchange(passFailure_, nullptr);
    if (failure) std::rethrow_exception(failure);
}

void Dispatcher::DispatchHotkeyTask(const std::string& taskId, const std::vector<TaskRow>& hotkeyRows) {
    TaskActions& act = ports_.actions;
    for (const TaskRow& row : hotkeyRows) {
        if (row[kColId] != taskId) continue;
        act.TakeFailures();
        const EventAction* action = ActionOf(EventOf(row));
        auto runAt = [&](EventStep step) {
            if (action && action->step == step) Perform(*action);
        };
        runAt(EventStep::BeforeMessage);
        if (!row[kColMessage].empty()) act.ShowReminderMessage(std::string(row[kColMessage]));
        runAt(EventStep::AfterMessage);
        // No pass to wait for and no rebuild to arm a wake-up: suspend and shut down run before the
        // row's program actions.
        runAt(EventStep::AfterThePass);
        if (!row[kColTerminate].empty()) act.KillProcessesByName(std::string(row[kColTerminate]));
        if (!row[kColOpenUrl].empty()) act.OpenWebAddress(std::string(row[kColOpenUrl]));
        if (!row[kColOpenFile].empty()) act.OpenDocument(std::string(row[kColOpenFile]));
        if (!row[kColMacro].empty() && !act.StartTaskMacro(std::string(row[kColMacro]))) {
            ReportMacroNotStarted(row, {});
            return;
        }
        if (!row[kColLaunch].empty()) act.LaunchProgram(std::string(row[kColLaunch]));
        ReportActionsDone(row, {}, ActionsOf(row)); // a press has no due key
    }
}

} // namespace orvanta::scheduler
