#pragma once

#include "platform/linux/resume_lock/resume_lock_control.h"

#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace orvanta::settings_tool {

// What the commands act on; the program gives the real desktop and system bus, tests their own.
struct SettingsServices {
    std::function<std::unique_ptr<platform::linux_backend::ResumeLockControl>()> findLockControl;
    // Turns on network time synchronisation; an error message, empty on success.
    std::function<std::string()> enableNetworkTime;
};

inline constexpr int kSucceeded = 0;
inline constexpr int kFailed = 1;
inline constexpr int kUsage = 2;

// One command from the single argument: "0" no password on resume from sleep, "1" ask for it,
// "2" network time synchronisation on. Returns the exit status; every failure is told on err.
int RunSettingsCommand(const std::vector<std::string>& arguments, const SettingsServices& services,
                       std::ostream& err);

} // namespace orvanta::settings_tool
