#pragma once

#include "platform/api/system_paths.h"

#include <string>

namespace orvanta::platform::windows_backend {

// The common application-data folder and the module file name of the running program.
class WindowsSystemPaths : public SystemPaths {
  public:
    std::string appDataRoot() const override;
    std::string executablePath() const override;
    char pathSeparator() const override { return '\\'; }
    bool ensureFolder(const std::string& path) const override;
};

} // namespace orvanta::platform::windows_backend
