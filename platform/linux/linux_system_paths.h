#pragma once

#include "platform/api/system_paths.h"

#include <string>

namespace orvanta::platform::linux_backend {

// XDG base directories and /proc/self/exe.
class LinuxSystemPaths : public SystemPaths {
  public:
    std::string appDataRoot() const override;
    std::string executablePath() const override;
    char pathSeparator() const override { return '/'; }
    // The folders the install rules put the helper, the hook library and the shared files in.
    std::optional<InstalledLayout> installedLayout() const override;
    // New folders are made 0700: a task database other local users could write would let them start
    // programs in this user's session.
    bool ensureFolder(const std::string& path) const override;
};

// $XDG_CONFIG_HOME, else ~/.config; empty when neither it nor HOME is known.
std::string XdgConfigHome();

} // namespace orvanta::platform::linux_backend
