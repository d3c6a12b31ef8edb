#pragma once

#include "platform/api/resume_monitor.h"

#include <functional>
#include <mutex>

namespace orvanta::platform::fake {

// A resume source the test drives: resume() delivers on the calling thread while the monitor runs.
class FakeResumeMonitor : public ResumeMonitor {
  public:
    bool start(std::function<void(const ResumeEvent&)> onResumed) override;
    void stop() override;

    // False, and nothing delivered, when the monitor is not running.
    bool resume(bool automatic);
    bool running() const;
    // When false, start() refuses, as on a system without a resume source.
    void setAvailable(bool available);

  private:
    mutable std::mutex mutex_;
    std::function<void(const ResumeEvent&)> onResumed_;
    bool running_ = false;
    bool available_ = true;
};

} // namespace orvanta::platform::fake
