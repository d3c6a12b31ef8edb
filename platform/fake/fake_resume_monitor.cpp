#include "platform/fake/fake_resume_monitor.h"

namespace orvanta::platform::fake {

bool FakeResumeMonitor::start(std::function<void(const ResumeEvent&)> onResumed) {
    std::lock_guard lock(mutex_);
    if (running_) return true;
    if (!available_) return false;
    onResumed_ = std::move(onResumed);
    running_ = true;
    return true;
}

void FakeResumeMonitor::stop() {
    std::lock_guard lock(mutex_);
    running_ = false;
    onResumed_ = nullptr;
}

bool FakeResumeMonitor::resume(bool automatic) {
    std::function<void(const ResumeEvent&)> callback;
    {
        std::lock_guard lock(mutex_);
        if (!running_) return false;
        callback = onResumed_;
    }
    if (callback) callback(ResumeEvent{automatic});
    return true;
}

bool FakeResumeMonitor::running() const {
    std::lock_guard lock(mutex_);
    return running_;
}

void FakeResumeMonitor::setAvailable(bool available) {
    std::lock_guard lock(mutex_);
    available_ = available;
}

} // namespace orvanta::platform::fake
