#pragma once

#include "platform/api/run_history.h"

#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace orvanta::platform::fake {

// Keeps what is written, stamped by the given clock, and answers reads from it; or, with an error set,
// answers every read with that error, as a system whose log cannot be read does.
class FakeRunHistory final : public RunHistory {
  public:
    explicit FakeRunHistory(std::function<std::int64_t()> nowUtcMs = [] { return std::int64_t{0}; })
        : nowUtcMs_(std::move(nowUtcMs)) {}

    void write(const HistoryEntry& entry) override {
        const std::lock_guard lock(mutex_);
        HistoryEntry stamped = entry;
        stamped.utcMs = nowUtcMs_();
        written_.push_back(std::move(stamped));
    }
    HistoryReading read(const HistoryQuery& query) const override {
        const std::lock_guard lock(mutex_);
        if (!error_.empty()) return {error_, {}};
        HistoryReading reading;
        for (const HistoryEntry& e : written_)
            if (e.utcMs >= query.sinceUtcMs && (query.taskId.empty() || e.taskId == query.taskId))
                reading.entries.push_back(e);
        return reading;
    }

    std::vector<HistoryEntry> written() const {
        const std::lock_guard lock(mutex_);
        return written_;
    }
    void failReadsWith(std::string error) {
        const std::lock_guard lock(mutex_);
        error_ = std::move(error);
    }

  private:
    std::function<std::int64_t()> nowUtcMs_;
    mutable std::mutex mutex_;
    std::vector<HistoryEntry> written_;
    std::string error_;
};

} // namespace orvanta::platform::fake
