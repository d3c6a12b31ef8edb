#include "scheduler/scheduler.h"

#include <utility>

#include "data/error.h"

namespace orvanta::scheduler {

Scheduler::Scheduler(Ports ports)
    : ports_(std::move(ports)),
      wakeArming_({ports_.wakeTimers, ports_.mainTimers, ports_.clock, ports_.resumedAutomatically}),
      rebuilder_(ports_.store, ports_.clock, ports_.text,
                 [this](const RunTableBuild& build) { wakeArming_.ArmWakeTimers(build.table); }),
      dispatcher_(state_, {ports_.actions, ports_.reminders, ports_.mainTimers, ports_.closeAllowance, ports_.clock},
                  [this]() -> RunTable& { return rebuilder_.table(); }, [this] { RebuildKeepingProblems(); }),
      poll_(state_, ports_.clock, ports_.acLineStatus, [this] { RebuildKeepingProblems(); }, ports_.warnOnBattery) {
    state_.lastPollTime = ports_.clock.now();
}

void Scheduler::RebuildKeepingProblems() {
    // Whatever the outcome, a pass that was waiting on this rebuild is over.
    state_.dispatchBusy = false;
    const RunTableBuild& build = rebuilder_.RebuildRunTable(filters_, currentTaskId_);
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

void Scheduler::Dispatch(std::string key) {
    if (!key.empty()) dispatcher_.DispatchDueTasks(key);
    RaiseProblems();
}

void Scheduler::doWakeTimer() { Dispatch(wakeArming_.TakePendingWakeKey()); }

void Scheduler::doNoWakeTimer() { Dispatch(wakeArming_.TakePendingDueKey()); }

void Scheduler::tmr302Timer() {
    poll_.Tick();
    RaiseProblems();
}

void Scheduler::DispatchHotkeyTask(const std::string& taskId, const std::vector<TaskRow>& hotkeyRows) {
    dispatcher_.DispatchHotkeyTask(taskId, hotkeyRows);
}

} // namespace orvanta::scheduler
