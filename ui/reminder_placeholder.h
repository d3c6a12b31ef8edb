#pragma once

#include "scheduler/dispatch_ports.h"

#include <ostream>

namespace orvanta::ui {

// Stands in for the confirmation window until it is built: shows nothing, logs the request, and returns
// at once as if the user had passed.
class LoggingReminderPresenter : public scheduler::ReminderPresenter {
  public:
    explicit LoggingReminderPresenter(std::ostream& log) : log_(log) {}
    void ShowReminder(const scheduler::ReminderRequest& request) override;

  private:
    std::ostream& log_;
};

} // namespace orvanta::ui
