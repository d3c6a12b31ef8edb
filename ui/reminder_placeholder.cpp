#include "ui/reminder_placeholder.h"

namespace orvanta::ui {

void LoggingReminderPresenter::ShowReminder(const scheduler::ReminderRequest& request) {
    log_ << "orvanta: confirmation for task " << request.taskId << " (" << request.actionWord << ", "
         << request.countdown << " s) not shown: the confirmation window is not built yet" << std::endl;
}

} // namespace orvanta::ui
