#pragma once

#include "scheduler/dispatch_ports.h"
#include "scheduler/run_events.h"

#include <map>
#include <optional>
#include <string>

namespace orvanta::scheduler {

// The confirmation that is open now.
struct OpenConfirmation {
    std::string taskId;
    std::string dueKey;
    std::string title;
};

// Reports firings and confirmations to a sink from the ports the pass already has: the report of each
// task a pass runs, and the confirmation window, which this presenter wraps. Where the pass reports to a
// sink of its own, only the open confirmation is still needed from here.
class RunEventBridge final : public ReminderPresenter {
  public:
    RunEventBridge(ReminderPresenter& inner, RunEventSink& sink) : inner_(inner), sink_(sink) {}

    // For the pass's report of every timed task it runs.
    void TaskRan(const std::string& taskId, const std::string& dueKey);
    // Opens the confirmation through the wrapped presenter and returns when it has closed.
    void ShowReminder(const ReminderRequest& request) override;

    // The confirmation open now; nullopt when none is.
    const std::optional<OpenConfirmation>& open() const { return open_; }

  private:
    ReminderPresenter& inner_;
    RunEventSink& sink_;
    // The due key each task last ran for: the confirmation it then opens belongs to that key.
    std::map<std::string, std::string> lastDueKey_;
    std::optional<OpenConfirmation> open_;
};

} // namespace orvanta::scheduler
