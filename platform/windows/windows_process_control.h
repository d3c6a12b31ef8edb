#pragma once

#include "platform/api/process_control.h"

namespace orvanta::platform::windows_backend {

// Toolhelp snapshots and TerminateProcess.
class WindowsProcessControl : public ProcessControl {
  public:
    std::optional<std::vector<ProcessEntry>> listProcesses() override;
    bool killProcess(std::int64_t id) override;
};

} // namespace orvanta::platform::windows_backend
