#include "scheduler/ran_occurrences.h"

namespace orvanta::scheduler {

bool RanOccurrences::Contains(const std::string& taskId, const std::string& dueKey) const {
    return keys_.count({dueKey, taskId}) != 0;
}

void RanOccurrences::Add(const std::string& taskId, const std::string& dueKey, std::int64_t dueWallMs) {
    if (keys_.insert({dueKey, taskId}).second) byAge_.insert({dueWallMs, {dueKey, taskId}});
}

void RanOccurrences::ForgetBefore(std::int64_t wallMs) {
    while (!byAge_.empty() && byAge_.begin()->first < wallMs) {
        keys_.erase(byAge_.begin()->second);
        byAge_.erase(byAge_.begin());
    }
}

} // namespace orvanta::scheduler
