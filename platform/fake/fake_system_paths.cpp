#include "platform/fake/fake_system_paths.h"

#include <filesystem>
#include <system_error>

namespace orvanta::platform::fake {

bool FakeSystemPaths::ensureFolder(const std::string& path) const {
    ensuredFolders.push_back(path);
    if (refuseFolders) return false;
    std::error_code ec;
    std::filesystem::create_directories(path, ec);
    return std::filesystem::is_directory(path, ec);
}

} // namespace orvanta::platform::fake
