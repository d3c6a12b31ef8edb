#pragma once

#include "platform/api/log.h"

#include <mutex>
#include <string>
#include <vector>

namespace orvanta::platform::fake {

// Keeps every warning, from any thread, for the test to read.
class RecordingLog final : public Log {
  public:
    void warn(std::string_view what) override {
        const std::lock_guard lock(mutex_);
        lines_.emplace_back(what);
    }
    std::vector<std::string> lines() const {
        const std::lock_guard lock(mutex_);
        return lines_;
    }
    // The first line holding the text, or empty.
    std::string find(std::string_view text) const {
        const std::lock_guard lock(mutex_);
        for (const std::string& line : lines_)
            if (line.find(text) != std::string::npos) return line;
        return {};
    }

  private:
    mutable std::mutex mutex_;
    std::vector<std::string> lines_;
};

} // namespace orvanta::platform::fake
