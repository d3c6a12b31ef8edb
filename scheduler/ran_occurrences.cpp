#include "scheduler/ran_occurrences.h"

namespace orvanta::scheduler {

bool RanOccurrences::Contains(std::string_view taskId, const std::string& dueKey) const {
    return keys_.count({dueKey, std::string(taskId)}) != 0;
}

void RanOccurrences::Add(std::string_view taskId, const std::string& dueKey, std::int64_t dueWallMs) {
    const std::string id(taskId);
    if (keys_.insert({dueKey, id}).second) byAge_.insert({dueWallMs, {dueKey, id}});
}

void RanOccurrences::ForgetBefore(std::int64_t wallMs) {
    while (!byAge_.empty() && byAge_.begin()->first < wallMs) {
        keys_.erase(byAge_.begin()->second);
        byAge_.erase(byAge_.begin());
    }
}

} // namespace orvanta::scheduler
