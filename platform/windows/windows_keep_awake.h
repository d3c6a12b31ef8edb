#pragma once

#include "platform/api/keep_awake.h"

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

namespace orvanta::platform::windows_backend {

// SetThreadExecutionState. The continuous request belongs to the thread that makes it, so holding and
// releasing go through one thread of this object's own.
class WindowsKeepAwake : public KeepAwake {
  public:
    WindowsKeepAwake() = default;
    ~WindowsKeepAwake() override;
    WindowsKeepAwake(const WindowsKeepAwake&) = delete;
    WindowsKeepAwake& operator=(const WindowsKeepAwake&) = delete;

    bool wakeDisplay() override;
    bool holdSystemAwake() override;
    void release() override;
    bool holdingSystemAwake() const override { return holding_; }

  private:
    bool setOnOwnThread(unsigned long state);
    void run();

    std::atomic<bool> holding_{false};
    std::mutex mutex_;
    std::condition_variable changed_;
    std::optional<unsigned long> request_;
    bool answer_ = false;
    bool stop_ = false;
    std::thread holder_;
};

} // namespace orvanta::platform::windows_backend
