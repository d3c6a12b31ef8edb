#include "macros/macro_file_write.h"

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace orvanta::macros {
namespace fs = std::filesystem;
namespace {

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

// Opens a file of our own beside the target that nobody else has open; O_EXCL refuses a name another
// writer (or an attacker's link) already took, and the mode holds whatever the umask says.
int CreateTemporary(const fs::path& target, fs::path& temporary) {
    const auto seed =
        static_cast<unsigned long long>(std::chrono::steady_clock::now().time_since_epoch().count() ^
                                        (static_cast<long long>(getpid()) << 40));
    for (unsigned attempt = 0; attempt < 100; ++attempt) {
        temporary = target;
        temporary += ".tmp" + std::to_string(seed + attempt);
        const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (fd >= 0) {
            if (::fchmod(fd, 0600) == 0) return fd;
            ::close(fd);
            ::unlink(temporary.c_str());
            return -1;
        }
        if (errno != EEXIST) return -1;
    }
    return -1;
}

// The rename is only lasting once the folder's entry is on the disk too.
void SyncFolder(const fs::path& folder) {
    const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

} // namespace

bool ReplaceMacroFileBytes(const std::string& path, std::string_view bytes) {
    std::error_code ec;
    fs::path target(path);
    if (fs::is_symlink(target, ec)) {
        fs::path resolved = fs::weakly_canonical(target, ec);
        if (ec) return false;
        target = resolved;
    }
    fs::path temporary;
    const int fd = CreateTemporary(target, temporary);
    if (fd < 0) return false;
    bool ok = WriteAll(fd, bytes) && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    ok = ok && ::rename(temporary.c_str(), target.c_str()) == 0;
    if (!ok) {
        ::unlink(temporary.c_str());
        return false;
    }
    SyncFolder(target.parent_path());
    return true;
}

} // namespace orvanta::macros
