#pragma once

#include "platform/api/system_paths.h"

#include <string>
#include <vector>

namespace orvanta::platform::fake {

// Serves the paths a test chooses and records every folder it was asked to create.
class FakeSystemPaths : public SystemPaths {
  public:
    FakeSystemPaths(std::string appDataRoot, std::string executablePath)
        : appDataRoot_(std::move(appDataRoot)), executablePath_(std::move(executablePath)) {}

    std::string appDataRoot() const override { return appDataRoot_; }
    std::string executablePath() const override { return executablePath_; }
    char pathSeparator() const override { return '/'; }
    // Really creates the folder (tests use real temporary folders), and records the request.
    bool ensureFolder(const std::string& path) const override;

    mutable std::vector<std::string> ensuredFolders;
    bool refuseFolders = false;

  private:
    std::string appDataRoot_;
    std::string executablePath_;
};

} // namespace orvanta::platform::fake
