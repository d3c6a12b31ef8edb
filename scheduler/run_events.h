#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvanta::scheduler {

// What became of one occurrence of a timed task, or of one press of a hotkey task.
enum class RunOutcome {
    kRan,                // its actions were started
    kFailed,             // an action could not be started (reason says which and why)
    kPassed,             // the user passed it in the confirmation
    kPostponed,          // the user moved it to a later moment (reason names the moment)
    kSkipped,            // it did not run: asleep, the clock jumped, too late, ... (reason)
    kRefused,            // the system refused its power or session action (reason: whose words)
    kConfirmationOpened, // its confirmation count-down started
    kConfirmationEnded,  // its confirmation closed (reason: how)
};

// The fixed word an outcome is stored and searched under; never localized.
inline const char* OutcomeWord(RunOutcome outcome) {
    switch (outcome) {
    case RunOutcome::kRan:
        return "ran";
    case RunOutcome::kFailed:
        return "failed";
    case RunOutcome::kPassed:
        return "passed";
    case RunOutcome::kPostponed:
        return "postponed";
    case RunOutcome::kSkipped:
        return "skipped";
    case RunOutcome::kRefused:
        return "refused";
    case RunOutcome::kConfirmationOpened:
        return "confirmation-opened";
    case RunOutcome::kConfirmationEnded:
        return "confirmation-ended";
    }
    return "ran";
}

inline std::optional<RunOutcome> OutcomeOfWord(std::string_view word) {
    for (RunOutcome o : {RunOutcome::kRan, RunOutcome::kFailed, RunOutcome::kPassed, RunOutcome::kPostponed,
                         RunOutcome::kSkipped, RunOutcome::kRefused, RunOutcome::kConfirmationOpened,
                         RunOutcome::kConfirmationEnded})
        if (word == OutcomeWord(o)) return o;
    return std::nullopt;
}

// One entry of the run history. Empty texts are unknown or not applicable (a hotkey press has no due key).
struct RunEvent {
    std::string taskId;
    std::string title;
    std::string dueKey;
    std::string action; // what it was to do: "ShutDown", "Launch", "Macro", ...
    RunOutcome outcome = RunOutcome::kRan;
    std::string reason;

    bool operator==(const RunEvent&) const = default;
};

// Told of every run event, on the GUI thread. The program sends them to the run history and to the
// session-bus signals; tests record them.
class RunEventSink {
  public:
    virtual ~RunEventSink() = default;
    virtual void Record(const RunEvent& event) = 0;
};

// For a core object run where nobody keeps a history (a one-off run from the command line).
class NoRunEvents final : public RunEventSink {
  public:
    void Record(const RunEvent&) override {}
};

// Hands every event to each of several sinks, in the order they were added.
class RunEventFanOut final : public RunEventSink {
  public:
    void Add(RunEventSink& sink) { sinks_.push_back(&sink); }
    void Record(const RunEvent& event) override {
        for (RunEventSink* sink : sinks_)
            sink->Record(event);
    }

  private:
    std::vector<RunEventSink*> sinks_;
};

} // namespace orvanta::scheduler
