#include "scheduler/run_history_sink.h"

namespace orvanta::scheduler {

void RunHistorySink::Record(const RunEvent& e) {
    history_.write({0, e.taskId, e.title, e.dueKey, e.action, OutcomeWord(e.outcome), e.reason});
}

void NotRunLog::Record(const RunEvent& e) {
    if (e.outcome != RunOutcome::kSkipped) return;
    if (e.taskId.empty())
        log_.warn("the tasks due at " + e.dueKey + " were not run (" + e.reason + ")");
    else
        log_.warn("task " + e.taskId + " due at " + e.dueKey + " was not run (" + e.reason + ")");
}

} // namespace orvanta::scheduler
