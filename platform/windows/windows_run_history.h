#pragma once

#include "platform/api/log.h"
#include "platform/api/run_history.h"

namespace orvanta::platform::windows_backend {

// No searchable log of ours is kept on this system yet: each entry is one line on the error output, and
// reading says so.
class WindowsRunHistory final : public RunHistory {
  public:
    explicit WindowsRunHistory(Log& log) : log_(log) {}
    void write(const HistoryEntry& entry) override;
    HistoryReading read(const HistoryQuery& query) const override;

  private:
    Log& log_;
};

} // namespace orvanta::platform::windows_backend
