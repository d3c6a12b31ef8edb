#pragma once

#include "platform/api/process_control.h"

#include <string>
#include <string_view>

namespace orvanta::platform::linux_backend {

// Processes from /proc: the program file from the exe link (unreadable for other users' processes,
// which then have only the names below), the kernel's name from comm (at most 15 characters), argv[0]
// from cmdline. Kernel threads are left out: they are no programs and ignore signals. Termination is
// SIGKILL, which nothing can catch, as a hard kill should be.
class LinuxProcessControl : public ProcessControl {
  public:
    explicit LinuxProcessControl(std::string procRoot = "/proc") : procRoot_(std::move(procRoot)) {}

    std::optional<std::vector<ProcessEntry>> listProcesses() override;
    bool killProcess(std::int64_t id) override;

  private:
    std::string procRoot_;
};

// The program path of an exe link's target: the kernel marks a replaced or deleted file with
// " (deleted)", which is no part of the name.
std::string ProgramPathFromExeLink(std::string_view target);

// Whether a /proc/<pid>/stat line belongs to a kernel thread (the PF_KTHREAD flag).
bool IsKernelThreadStat(std::string_view statLine);

} // namespace orvanta::platform::linux_backend
