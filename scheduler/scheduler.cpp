#include "scheduler/scheduler.h"

#include "data/error.h"
#include "scheduler/missed_occurrences.h"

#include <exception>
#include <utility>

namespace orvanta::scheduler {

Scheduler::Scheduler(Ports ports)
    : ports_(std::move(ports)),
      wakeArming_({ports_.wakeTimers, ports_.mainTimers, ports_.clock, ports_.resumedAutomatically}),
      rebuilder_(ports_.store, ports_.clock, ports_.text,
                 [this](const RunTableBuild& build) { wakeArming_.ArmWakeTimers(build.table); }),
      dispatcher_(
          state_,
          {ports_.actions, ports_.reminders, ports_.mainTimers, ports_.closeAllowance, ports_.clock,
           ports_.events},
          [this]() -> RunTable& { return rebuilder_.table(); }, [this] { RebuildKeepingProblems(); }),
      poll_(
          state_, ports_.clock, ports_.acLineStatus, [this] { RebuildKeepingProblems(); },
          ports_.warnOnBattery, [this] { return wakeArming_.NeedsRearming(); }) {
    state_.MarkPolled(ports_.clock);
}

void Scheduler::RebuildKeepingProblems(Read read) {
    // Whatever the outcome, a pass that was waiting on this rebuild is over.
    state_.dispatchBusy = false;
    // Until a rebuild succeeds nothing is armed; the poll keeps trying.
    state_.rebuildFailed = true;
    // The rebuild moves every row on to its next moment: the last chance to tell of those gone by.
    ReportMissedOccurrences(
        rebuilder_.table(), state_.ran, state_.toldNotRun,
        [this](const std::string& key) { return dispatcher_.Keeps(key); }, ports_.clock, lastResumeUtcMs_,
        ports_.events);
    const RunTableBuild& build = read == Read::kOwnWritesOnly
                                     ? rebuilder_.RefreshRunTable(filters_, currentTaskId_)
                                     : rebuilder_.RebuildRunTable(filters_, currentTaskId_);
    state_.rebuildFailed = false;
    problems_ = DescribeRowProblems(build.problems);
}

void Scheduler::RaiseProblems() {
    if (problems_.empty()) return;
    throw Error(std::exchange(problems_, {}));
}

void Scheduler::RebuildRunTable() {
    RebuildKeepingProblems();
    RaiseProblems();
}

void Scheduler::RefreshRunTable() {
    RebuildKeepingProblems(Read::kOwnWritesOnly);
    RaiseProblems();
}

void Scheduler::HandOver(const std::function<std::string()>& takeKey) {
    // Every key its timer fired for since the last hand-over, oldest first; one failing pass does not
    // keep the others from running.
    std::exception_ptr failure;
    std::string key = takeKey();
    // A hand-over with nothing to take (its key went with an earlier one) must not leave the poll off
    // that its firing switched off.
    if (key.empty() && !dispatcher_.PassRunning()) ports_.mainTimers.SetPollEnabled(true);
    for (; !key.empty(); key = takeKey()) {
        try {
            dispatcher_.DispatchDueTasks(key);
        } catch (...) {
            if (!failure) failure = std::current_exception();
        }
    }
    if (failure) std::rethrow_exception(failure);
    RaiseProblems();
}

void Scheduler::doWakeTimer() {
    HandOver([this] { return wakeArming_.TakePendingWakeKey(); });
}

void Scheduler::doNoWakeTimer() {
    HandOver([this] { return wakeArming_.TakePendingDueKey(); });
}

void Scheduler::tmr302Timer() {
    const bool failedBefore = state_.rebuildFailed;
    try {
        poll_.Tick();
    } catch (const Error& e) {
        // The poll retries a failed rebuild every tick; the same failure is shown once, not every 10 s.
        const bool sameAsBefore = failedBefore && e.what() == lastPollFailure_;
        lastPollFailure_ = e.what();
        if (sameAsBefore) return;
        throw;
    }
    lastPollFailure_.clear();
    RaiseProblems();
}

void Scheduler::NoteResume() {
    lastResumeUtcMs_ = ports_.clock.nowUtcMs();
}

void Scheduler::DispatchHotkeyTask(const std::string& taskId, const std::vector<TaskRow>& hotkeyRows) {
    dispatcher_.DispatchHotkeyTask(taskId, hotkeyRows);
}

} // namespace orvanta::scheduler
