#include "platform/fake/fake_process_control.h"

#include <algorithm>

namespace orvanta::platform::fake {

std::optional<std::vector<ProcessEntry>> FakeProcessControl::listProcesses() {
    std::lock_guard lock(mutex_);
    if (!listAvailable_) return std::nullopt;
    return processes_;
}

bool FakeProcessControl::killProcess(std::int64_t id) {
    std::lock_guard lock(mutex_);
    killed_.push_back(id);
    if (refused_.count(id)) return false;
    const auto it =
        std::find_if(processes_.begin(), processes_.end(), [&](const auto& p) { return p.id == id; });
    if (it == processes_.end()) return false;
    processes_.erase(it);
    return true;
}

void FakeProcessControl::setProcesses(std::vector<ProcessEntry> processes) {
    std::lock_guard lock(mutex_);
    processes_ = std::move(processes);
}

void FakeProcessControl::setListAvailable(bool available) {
    std::lock_guard lock(mutex_);
    listAvailable_ = available;
}

void FakeProcessControl::refuseKill(std::int64_t id) {
    std::lock_guard lock(mutex_);
    refused_.insert(id);
}

std::vector<std::int64_t> FakeProcessControl::killed() const {
    std::lock_guard lock(mutex_);
    return killed_;
}

std::vector<ProcessEntry> FakeProcessControl::processes() const {
    std::lock_guard lock(mutex_);
    return processes_;
}

} // namespace orvanta::platform::fake
