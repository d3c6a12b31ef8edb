#include "platform/linux/linux_single_instance.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orvanta::platform::linux_backend {
namespace {

// The fallback folder is shared /tmp space: it must be ours and closed to others, or anyone could
// plant a lock that keeps the program from starting, or a socket that receives our hand-over.
bool PrivateFolderReady(const std::string& folder) {
    if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return false;
    struct stat st {};
    return lstat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == getuid() &&
           (st.st_mode & 077) == 0;
}

const char* XdgRuntimeDir() {
    const char* dir = std::getenv("XDG_RUNTIME_DIR");
    return dir && dir[0] == '/' ? dir : nullptr;
}

} // namespace

LinuxSingleInstance::LinuxSingleInstance(std::string name)
    : LinuxSingleInstance(XdgRuntimeDir() ? XdgRuntimeDir() : "/tmp/orvanta-" + std::to_string(getuid()),
                          std::move(name)) {
    sharedTmp_ = XdgRuntimeDir() == nullptr;
}

LinuxSingleInstance::LinuxSingleInstance(std::string runtimeFolder, std::string name)
    : folder_(std::move(runtimeFolder)), name_(std::move(name)) {
    while (folder_.size() > 1 && folder_.back() == '/')
        folder_.pop_back();
}

std::string LinuxSingleInstance::lockPath() const {
    return folder_ + "/" + name_ + ".lock";
}

std::string LinuxSingleInstance::handOverAddress() const {
    return folder_ + "/" + name_;
}

bool LinuxSingleInstance::claim() {
    if (lock_) return true;
    if (sharedTmp_ && !PrivateFolderReady(folder_)) return true;
    // Close-on-exec: a program a task starts must not inherit the claim and outlive us with it.
    UniqueFd fd(open(lockPath().c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600));
    if (!fd) return true;
    if (flock(fd.get(), LOCK_EX | LOCK_NB) == 0) {
        lock_ = std::move(fd);
        return true;
    }
    return errno != EWOULDBLOCK;
}

} // namespace orvanta::platform::linux_backend
