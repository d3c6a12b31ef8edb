#pragma once

#include "platform/api/tray_hosts.h"

#include <mutex>

namespace orvanta::platform::fake {

// Hosts the test sets; a change reaches the watcher at once, on the test's thread.
class FakeTrayHostWatch : public TrayHostWatch {
  public:
    explicit FakeTrayHostWatch(TrayHosts hosts = {}) : hosts_(hosts) {}

    TrayHosts current() const override {
        std::lock_guard lock(mutex_);
        return hosts_;
    }
    void watch(std::function<void(const TrayHosts&)> onChange) override {
        std::lock_guard lock(mutex_);
        onChange_ = std::move(onChange);
    }
    void stop() override {
        std::lock_guard lock(mutex_);
        onChange_ = {};
    }

    void set(TrayHosts hosts) {
        std::lock_guard lock(mutex_);
        if (hosts == hosts_) return;
        hosts_ = hosts;
        if (onChange_) onChange_(hosts_);
    }
    bool watched() const {
        std::lock_guard lock(mutex_);
        return bool(onChange_);
    }

  private:
    mutable std::mutex mutex_;
    TrayHosts hosts_;
    std::function<void(const TrayHosts&)> onChange_;
};

} // namespace orvanta::platform::fake
