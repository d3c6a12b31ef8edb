#pragma once

#include "platform/linux/resume_lock/command_runner.h"

#include <memory>
#include <optional>
#include <string>

namespace orvanta::platform::linux_backend {

// The desktops whose own setting for locking the screen on resume we know.
enum class LockDesktop { Gnome, Kde, Xfce, Other };

// The desktop named by $XDG_CURRENT_DESKTOP (a colon-separated list, most specific first).
LockDesktop DetectLockDesktop(const std::string& currentDesktop);

// One desktop's setting that locks the screen, and so asks for the password, on resume from sleep.
class ResumeLockControl {
  public:
    virtual ~ResumeLockControl() = default;
    // nullopt when the setting cannot be read.
    virtual std::optional<bool> locksOnResume() const = 0;
    // True when the setting took the value.
    virtual bool setLocksOnResume(bool lock) = 0;
    // Where the setting lives, for messages.
    virtual std::string describe() const = 0;
};

// What the controls depend on: the desktop, the user's configuration folder and how programs run.
struct LockEnvironment {
    std::string currentDesktop; // $XDG_CURRENT_DESKTOP
    std::string configHome;     // $XDG_CONFIG_HOME, else $HOME/.config
    CommandRunner run;
};

// The process's own environment with the real runner.
LockEnvironment ProcessLockEnvironment();

// The running desktop's setting; nullptr when none can be found on this machine.
std::unique_ptr<ResumeLockControl> FindResumeLockControl(const LockEnvironment& environment);

// The value of LockOnResume in the [Daemon] group of a kscreenlockerrc text; nullopt when it is not set.
std::optional<bool> KdeLockOnResume(const std::string& configText);
// The text with LockOnResume in the [Daemon] group set to the value; every other line kept.
std::string WithKdeLockOnResume(const std::string& configText, bool lock);

} // namespace orvanta::platform::linux_backend
