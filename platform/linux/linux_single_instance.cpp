#include "platform/linux/linux_single_instance.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orvanta::platform::linux_backend {
namespace {

const char* XdgRuntimeDir() {
    const char* dir = std::getenv("XDG_RUNTIME_DIR");
    return dir && dir[0] == '/' ? dir : nullptr;
}

std::string FallbackFolder() {
    return "/tmp/orvanta-" + std::to_string(getuid());
}

std::string SystemReason(const std::string& what) {
    return what + ": " + std::strerror(errno);
}

} // namespace

LinuxSingleInstance::LinuxSingleInstance(std::string name)
    : LinuxSingleInstance(XdgRuntimeDir() ? XdgRuntimeDir() : FallbackFolder(), std::move(name),
                          XdgRuntimeDir() ? Folder::Given : Folder::Fallback) {}

LinuxSingleInstance::LinuxSingleInstance(std::string runtimeFolder, std::string name, Folder kind)
    : folder_(std::move(runtimeFolder)), name_(std::move(name)), kind_(kind) {
    while (folder_.size() > 1 && folder_.back() == '/')
        folder_.pop_back();
}

std::string LinuxSingleInstance::lockPath() const {
    return folder_ + "/" + name_ + ".lock";
}

std::string LinuxSingleInstance::handOverAddress() const {
    return folder_ + "/" + name_;
}

std::shared_ptr<void> LinuxSingleInstance::listenForHandOver(std::function<void(HandOverRequest)> heard) {
    // Only the claim's holder may replace what is at the address.
    if (!lock_) return nullptr;
    auto socket = std::make_shared<HandOverSocket>();
    if (!socket->Listen(handOverAddress(), std::move(heard))) return nullptr;
    return socket;
}

bool LinuxSingleInstance::handOver(HandOverRequest request, std::chrono::milliseconds timeout) {
    return HandOverSocket::Send(handOverAddress(), request, timeout);
}

bool LinuxSingleInstance::refuse(const std::string& reason) {
    failure_ = "Cannot make sure that only one copy of the program runs (" + reason +
               "); this copy ends so that no task runs twice.";
    return false;
}

bool LinuxSingleInstance::folderUsable() {
    struct stat st {};
    if (kind_ == Folder::Fallback) {
        // Shared space: the folder must be one we made, or anyone could plant a lock that keeps the
        // program from starting, or a socket that receives our hand-over.
        if (mkdir(folder_.c_str(), 0700) != 0 && errno != EEXIST)
            return refuse(SystemReason("cannot create " + folder_));
        if (lstat(folder_.c_str(), &st) != 0) return refuse(SystemReason("cannot check " + folder_));
        if (!S_ISDIR(st.st_mode)) return refuse(folder_ + " is not a folder");
        if (st.st_uid != getuid()) return refuse(folder_ + " belongs to another user");
        if ((st.st_mode & 077) != 0) return refuse(folder_ + " is open to other users");
        return true;
    }
    if (stat(folder_.c_str(), &st) != 0) return refuse(SystemReason("cannot use " + folder_));
    if (!S_ISDIR(st.st_mode)) return refuse(folder_ + " is not a folder");
    // After su the session's folder may still be named, and it is another user's.
    if (st.st_uid != getuid()) return refuse(folder_ + " belongs to another user");
    if ((st.st_mode & 022) != 0) return refuse(folder_ + " can be written by other users");
    return true;
}

bool LinuxSingleInstance::claim() {
    if (lock_) return true;
    failure_.clear();
    if (!folderUsable()) return false;
    // Close-on-exec: a program a task starts must not inherit the claim and outlive us with it.
    UniqueFd fd(open(lockPath().c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0600));
    if (!fd) return refuse(SystemReason("cannot open " + lockPath()));
    struct stat st {};
    if (fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != getuid())
        return refuse(lockPath() + " is not a lock file of this user");
    if (flock(fd.get(), LOCK_EX | LOCK_NB) == 0) {
        lock_ = std::move(fd);
        return true;
    }
    if (errno == EWOULDBLOCK) return false;
    return refuse(SystemReason("cannot lock " + lockPath()));
}

} // namespace orvanta::platform::linux_backend
