#include "platform/linux/linux_system_paths.h"

#include <cerrno>
#include <cstdlib>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace orvanta::platform::linux_backend {
namespace {

std::string HomeFolder() {
    if (const char* home = std::getenv("HOME"); home && *home) return home;
    if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir) return pw->pw_dir;
    return {};
}

// The XDG rule: the variable when it holds an absolute path, else the fallback under HOME.
std::string XdgFolder(const char* variable, const char* fallbackUnderHome) {
    if (const char* v = std::getenv(variable); v && v[0] == '/') return v;
    std::string home = HomeFolder();
    return home.empty() ? std::string() : home + fallbackUnderHome;
}

} // namespace

std::string XdgConfigHome() {
    return XdgFolder("XDG_CONFIG_HOME", "/.config");
}

std::string LinuxSystemPaths::appDataRoot() const {
    return XdgFolder("XDG_DATA_HOME", "/.local/share");
}

std::string LinuxSystemPaths::executablePath() const {
    std::vector<char> buffer(4096);
    for (;;) {
        ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (n < 0) return {};
        if (static_cast<std::size_t>(n) < buffer.size()) return std::string(buffer.data(), n);
        buffer.resize(buffer.size() * 2);
    }
}

std::optional<SystemPaths::InstalledLayout> LinuxSystemPaths::installedLayout() const {
    // The same folders as ORVANTA_INSTALL_PRIVATE_DIR and ORVANTA_INSTALL_DATA_DIR in the top CMakeLists.txt;
    // the package test runs an installed copy and fails when the two part ways.
    return InstalledLayout{"lib/orvanta", "share/orvanta"};
}

bool LinuxSystemPaths::ensureFolder(const std::string& path) const {
    if (path.empty()) return false;
    // Walk the path and make each missing component; only the ones we create get our mode.
    for (std::size_t pos = 1; pos <= path.size(); ++pos) {
        if (pos != path.size() && path[pos] != '/') continue;
        std::string part = path.substr(0, pos);
        if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
    }
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

} // namespace orvanta::platform::linux_backend
