#include "scheduler/open_confirmation.h"

#include <utility>

namespace orvanta::scheduler {

void OpenConfirmationTracker::ShowReminder(const ReminderRequest& request) {
    // A confirmation nested in another (a postponement's rebuild cannot open one, but a later key could)
    // gives the outer one back when it closes, also when the window fails.
    std::optional<OpenConfirmation> outer =
        std::exchange(open_, OpenConfirmation{request.taskId, request.dueKey, request.title});
    struct Closing {
        std::optional<OpenConfirmation>& open;
        std::optional<OpenConfirmation> outer;
        ~Closing() { open = std::move(outer); }
    } closing{open_, std::move(outer)};
    inner_.ShowReminder(request);
}

} // namespace orvanta::scheduler
