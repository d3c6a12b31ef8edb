#pragma once

#include "platform/api/log.h"
#include "platform/api/run_history.h"

namespace orvanta::platform::linux_backend {

// The run history in the systemd journal: one structured entry per event, found again by our message
// ID. The fields are ORVANTA_TASK_ID, ORVANTA_TITLE, ORVANTA_DUE_KEY, ORVANTA_ACTION, ORVANTA_OUTCOME
// and ORVANTA_REASON, beside a readable MESSAGE, so that
//   journalctl MESSAGE_ID=daa3b9afde6041a5b4f4409f570d7e7d
// lists them too. Where no journal takes the entry, it goes to the error output as one line.
class JournalRunHistory final : public RunHistory {
  public:
    static constexpr const char* kMessageId = "daa3b9afde6041a5b4f4409f570d7e7d";
    static constexpr const char* kIdentifier = "orvanta-history";

    explicit JournalRunHistory(Log& fallback) : fallback_(fallback) {}
    void write(const HistoryEntry& entry) override;
    HistoryReading read(const HistoryQuery& query) const override;

  private:
    Log& fallback_;
};

// The one-line form of an entry, for the journal's MESSAGE and the error output.
std::string HistoryLine(const HistoryEntry& entry);

} // namespace orvanta::platform::linux_backend
