#pragma once

#include "platform/api/process_control.h"

#include <mutex>
#include <set>
#include <vector>

namespace orvanta::platform::fake {

// A process table the test writes. Killed processes leave the table; the ids asked to be killed are
// recorded in order.
class FakeProcessControl : public ProcessControl {
  public:
    std::optional<std::vector<ProcessEntry>> listProcesses() override;
    bool killProcess(std::int64_t id) override;

    void setProcesses(std::vector<ProcessEntry> processes);
    // Without a list, listProcesses answers nullopt.
    void setListAvailable(bool available);
    // Killing this id is refused; the process stays.
    void refuseKill(std::int64_t id);
    std::vector<std::int64_t> killed() const;
    std::vector<ProcessEntry> processes() const;

  private:
    mutable std::mutex mutex_;
    std::vector<ProcessEntry> processes_;
    std::vector<std::int64_t> killed_;
    std::set<std::int64_t> refused_;
    bool listAvailable_ = true;
};

} // namespace orvanta::platform::fake
