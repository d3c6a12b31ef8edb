#include "scheduler/run_event_bridge.h"

#include <utility>

namespace orvanta::scheduler {

void RunEventBridge::TaskRan(const std::string& taskId, const std::string& dueKey) {
    lastDueKey_[taskId] = dueKey;
    sink_.Record({taskId, {}, dueKey, {}, RunOutcome::kRan, {}});
}

void RunEventBridge::ShowReminder(const ReminderRequest& request) {
    const auto known = lastDueKey_.find(request.taskId);
    OpenConfirmation opened{request.taskId, known == lastDueKey_.end() ? std::string() : known->second,
                            request.title};
    // A confirmation nested in another (a postponement's rebuild cannot open one, but a later key could)
    // gives the outer one back when it closes.
    std::optional<OpenConfirmation> outer = std::exchange(open_, opened);
    sink_.Record({opened.taskId,
                  opened.title,
                  opened.dueKey,
                  request.actionWord,
                  RunOutcome::kConfirmationOpened,
                  {}});
    struct Closing {
        RunEventBridge& bridge;
        OpenConfirmation closed;
        std::optional<OpenConfirmation> outer;
        ~Closing() {
            bridge.open_ = std::move(outer);
            // The confirmation has closed whatever a listener makes of it; nothing may leave a destructor.
            try {
                bridge.sink_.Record(
                    {closed.taskId, closed.title, closed.dueKey, {}, RunOutcome::kConfirmationEnded, {}});
            } catch (...) {
            }
        }
    } closing{*this, opened, std::move(outer)};
    inner_.ShowReminder(request);
}

} // namespace orvanta::scheduler
