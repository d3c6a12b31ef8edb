#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace orvanta::platform {

// One kept entry of the run history. Texts are as written; outcome is a fixed word ("ran", "skipped",
// ...) that the core defines.
struct HistoryEntry {
    std::int64_t utcMs = 0; // when it was written; the system stamps it, a writer's value is ignored
    std::string taskId;
    std::string title;
    std::string dueKey;
    std::string action;
    std::string outcome;
    std::string reason;

    bool operator==(const HistoryEntry&) const = default;
};

struct HistoryQuery {
    std::int64_t sinceUtcMs = 0; // entries written at or after this moment
    std::string taskId;          // empty: every task
};

struct HistoryReading {
    // Empty when the history was read; else why it could not be, in one line for the user.
    std::string error;
    std::vector<HistoryEntry> entries; // oldest first
};

// Where the record of what ran and what did not is kept: the system's own log where it has one that
// can be searched, so the user's usual tools find the entries too.
class RunHistory {
  public:
    virtual ~RunHistory() = default;
    // Never fails to the caller: where nothing keeps the entry it goes to the error output.
    virtual void write(const HistoryEntry& entry) = 0;
    virtual HistoryReading read(const HistoryQuery& query) const = 0;
};

} // namespace orvanta::platform
