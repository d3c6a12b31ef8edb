#pragma once

#include "platform/api/log.h"
#include "platform/api/run_history.h"
#include "scheduler/run_events.h"

namespace orvanta::scheduler {

// Keeps every run event in the run history.
class RunHistorySink final : public RunEventSink {
  public:
    explicit RunHistorySink(platform::RunHistory& history) : history_(history) {}
    void Record(const RunEvent& event) override;

  private:
    platform::RunHistory& history_;
};

// A line in the log for every occurrence that did not run: where the history is not kept, whoever reads
// the program's error output still learns of it.
class NotRunLog final : public RunEventSink {
  public:
    explicit NotRunLog(platform::Log& log) : log_(log) {}
    void Record(const RunEvent& event) override;

  private:
    platform::Log& log_;
};

} // namespace orvanta::scheduler
