#include "platform/windows/windows_run_history.h"

namespace orvanta::platform::windows_backend {

void WindowsRunHistory::write(const HistoryEntry& e) {
    std::string line = "history: task " + e.taskId;
    if (!e.dueKey.empty()) line += " due " + e.dueKey;
    line += ": " + e.outcome;
    if (!e.action.empty()) line += " [" + e.action + "]";
    if (!e.reason.empty()) line += " (" + e.reason + ")";
    log_.warn(line);
}

HistoryReading WindowsRunHistory::read(const HistoryQuery&) const {
    return {"the run history is not kept on this system: its entries only go to the error output", {}};
}

} // namespace orvanta::platform::windows_backend
