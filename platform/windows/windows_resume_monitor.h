#pragma once

#include "platform/api/resume_monitor.h"

#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

namespace orvanta::platform::windows_backend {

// A hidden top-level window on a thread of its own receives WM_POWERBROADCAST: an automatic resume
// (PBT_APMRESUMEAUTOMATIC) and one the user took part in (PBT_APMRESUMESUSPEND).
class WindowsResumeMonitor : public ResumeMonitor {
  public:
    ~WindowsResumeMonitor() override;
    bool start(std::function<void(const ResumeEvent&)> onResumed) override;
    void stop() override;

  private:
    static std::intptr_t __stdcall WindowProc(void* window, unsigned message, std::uintptr_t wParam,
                                              std::intptr_t lParam);
    void run(void* ready);

    std::mutex mutex_;
    std::function<void(const ResumeEvent&)> onResumed_;
    void* window_ = nullptr;
    unsigned long threadId_ = 0;
    std::thread thread_;
};

// The window class of the resume monitor's window, for tests that speak to it.
inline constexpr const char* kResumeWindowClass = "OrvantaResumeMonitor";

// IsSystemResumeAutomatic from kernel32, looked up at first use; false where the system lacks it.
bool SystemResumeAutomatic();

} // namespace orvanta::platform::windows_backend
