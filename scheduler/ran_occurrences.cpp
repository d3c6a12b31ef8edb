#include "scheduler/ran_occurrences.h"

namespace orvanta::scheduler {

bool RanOccurrences::Contains(const std::string& taskId, const std::string& dueKey) const {
    return keys_.count({dueKey, taskId}) != 0;
}

void RanOccurrences::Add(const std::string& taskId, const std::string& dueKey, std::int64_t dueWallMs) {
    if (keys_.insert({dueKey, taskId}).second) byAge_.push_back({dueWallMs, {dueKey, taskId}});
}

void RanOccurrences::ForgetBefore(std::int64_t wallMs) {
    // Passes come in the order of their keys, so the oldest are at the front; a key run after the clock
    // was set back sits behind newer ones and is forgotten a little later than it could be.
    while (!byAge_.empty() && byAge_.front().first < wallMs) {
        keys_.erase(byAge_.front().second);
        byAge_.pop_front();
    }
}

} // namespace orvanta::scheduler
