#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <utility>

namespace orvanta::scheduler {

// The occurrences (task and due key) the dispatcher has run lately. A due key reaches the dispatcher
// more than once when a wake-up task and another task share a second, when the clock is set back over
// a moment that has run, or when a repeated hour shows it again; each occurrence runs once all the same.
class RanOccurrences {
  public:
    bool Contains(std::string_view taskId, const std::string& dueKey) const;
    void Add(std::string_view taskId, const std::string& dueKey, std::int64_t dueWallMs);
    // Forgets occurrences older than this wall-clock moment. The clock set back further than that would
    // make them due again; a day and an hour covers a daylight-saving change and a day's correction.
    void ForgetBefore(std::int64_t wallMs);
    std::size_t size() const { return keys_.size(); }

  private:
    std::set<std::pair<std::string, std::string>> keys_;                     // due key, task
    std::multimap<std::int64_t, std::pair<std::string, std::string>> byAge_; // by the due moment
};

} // namespace orvanta::scheduler
