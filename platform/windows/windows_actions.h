#pragma once

#include "platform/api/keep_awake.h"
#include "platform/api/power_status.h"
#include "platform/api/process_control.h"
#include "platform/api/program_launcher.h"
#include "platform/api/session_power.h"

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

namespace orvanta::platform::windows_backend {

// Toolhelp snapshots and TerminateProcess.
class WindowsProcessControl : public ProcessControl {
  public:
    std::optional<std::vector<ProcessEntry>> listProcesses() override;
    bool killProcess(std::int64_t id) override;
};

// The shell's "open" and "runas" verbs; the URL protocol handler through rundll32.
class WindowsProgramLauncher : public ProgramLauncher {
  public:
    bool startProgram(const ProgramStart& start) override;
    bool openDocument(const std::string& path) override;
    bool openAddress(const std::string& address) override;
    bool openAddressWithProtocolHandler(const std::string& address) override;
    bool runElevated(const ProgramStart& start) override;
    bool openPowerSettings() override;
};

// ExitWindowsEx after the shutdown privilege, SetSuspendState, LockWorkStation and the monitor-power
// system command.
class WindowsSessionPower : public SessionPower {
  public:
    PrivilegeResult enableShutdownPrivilege() override;
    RequestResult powerOff(bool force) override;
    RequestResult reboot(bool force) override;
    RequestResult logOffPolitely() override;
    RequestResult terminateSession() override;
    RequestResult suspend() override;
    RequestResult hibernate() override;
    RequestResult lockSession() override;
    RequestResult turnMonitorOff() override;
};

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

// GetSystemPowerStatus and the power capabilities.
class WindowsPowerStatus : public PowerStatus {
  public:
    AcLineStatus acLineStatus() const override;
    bool canWakeFromSleep() const override;
};

} // namespace orvanta::platform::windows_backend
