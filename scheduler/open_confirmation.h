#pragma once

#include "scheduler/dispatch_ports.h"

#include <optional>
#include <string>

namespace orvanta::scheduler {

// The confirmation that is open now.
struct OpenConfirmation {
    std::string taskId;
    std::string dueKey;
    std::string title;
};

// Wraps the confirmation window so that others (the bus's answers to "run now", "pass", "postpone") can
// tell which confirmation is open while it is.
class OpenConfirmationTracker final : public ReminderPresenter {
  public:
    explicit OpenConfirmationTracker(ReminderPresenter& inner) : inner_(inner) {}

    // Opens the confirmation through the wrapped presenter and returns when it has closed.
    void ShowReminder(const ReminderRequest& request) override;

    // The confirmation open now; nullopt when none is.
    const std::optional<OpenConfirmation>& open() const { return open_; }

  private:
    ReminderPresenter& inner_;
    std::optional<OpenConfirmation> open_;
};

} // namespace orvanta::scheduler
