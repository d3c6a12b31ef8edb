#include "platform/linux/macro_hook/linux_macro_hook.h"

#include "platform/linux/macro_hook/hook_message_atom.h"
#include "platform/linux/x11_display.h"

#include <X11/Xlib.h>
#include <cerrno>
#include <cstring>
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <xcb/xproto.h>

namespace orvanta::platform::linux_backend {

namespace {

class DlHookLibrary : public MacroHookLibrary {
  public:
    explicit DlHookLibrary(void* handle)
        : handle_(handle), on_(reinterpret_cast<void (*)()>(dlsym(handle, "HookOn"))),
          off_(reinterpret_cast<void (*)()>(dlsym(handle, "HookOff"))) {}
    ~DlHookLibrary() override { dlclose(handle_); }
    DlHookLibrary(const DlHookLibrary&) = delete;
    DlHookLibrary& operator=(const DlHookLibrary&) = delete;

    bool hasHookProcedures() const override { return on_ && off_; }
    void HookOn() override {
        if (on_) on_();
    }
    void HookOff() override {
        if (off_) off_();
    }

  private:
    void* handle_;
    void (*on_)();
    void (*off_)();
};

// A block mapped read-write, made afresh by this user and readable only by them. One left behind by a
// recorder of ours that was killed is removed and made anew; one of another user's is refused, since
// it could feed the recorder pointer positions. The name goes when the block is closed, as a file
// mapping ends with its last handle.
class PosixSharedBlock : public SharedHookBlock {
  public:
    static std::unique_ptr<PosixSharedBlock> Create(const std::string& objectName) {
        int fd = shm_open(objectName.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0 && errno == EEXIST && LeftBehindByUs(objectName)) {
            shm_unlink(objectName.c_str());
            fd = shm_open(objectName.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        }
        if (fd < 0) return nullptr;
        struct stat st {};
        if (fstat(fd, &st) != 0 || st.st_uid != geteuid() || (st.st_mode & 077) != 0 ||
            ftruncate(fd, kSharedBlockBytes) != 0) {
            close(fd);
            return nullptr;
        }
        void* memory = mmap(nullptr, kSharedBlockBytes, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
        if (memory == MAP_FAILED) {
            close(fd);
            return nullptr;
        }
        return std::unique_ptr<PosixSharedBlock>(new PosixSharedBlock(objectName, fd, memory));
    }
    ~PosixSharedBlock() override {
        munmap(memory_, kSharedBlockBytes);
        close(fd_);
        shm_unlink(objectName_.c_str());
    }
    PosixSharedBlock(const PosixSharedBlock&) = delete;
    PosixSharedBlock& operator=(const PosixSharedBlock&) = delete;

    void writeInt32(std::size_t offset, std::int32_t value) override {
        if (offset + 4 <= kSharedBlockBytes) std::memcpy(static_cast<char*>(memory_) + offset, &value, 4);
    }
    std::int32_t readInt32(std::size_t offset) const override {
        std::int32_t value = 0;
        if (offset + 4 <= kSharedBlockBytes)
            std::memcpy(&value, static_cast<const char*>(memory_) + offset, 4);
        return value;
    }

  private:
    // The C library keeps shared memory as files of this folder.
    static bool LeftBehindByUs(const std::string& objectName) {
        struct stat st {};
        if (stat(("/dev/shm" + objectName).c_str(), &st) != 0) return errno == ENOENT; // gone meanwhile
        return st.st_uid == geteuid();
    }

    PosixSharedBlock(std::string objectName, int fd, void* memory)
        : objectName_(std::move(objectName)), fd_(fd), memory_(memory) {}
    std::string objectName_;
    int fd_;
    void* memory_;
};

} // namespace

LinuxMacroHookPlatform::LinuxMacroHookPlatform(std::string libraryFolder, const std::string& displayName)
    : libraryFolder_(std::move(libraryFolder)), displayName_(displayName) {
    // Atoms live as long as the server, so the number can be learnt once on a short connection.
    if (DisplayConnection display = OpenDisplay(displayName))
        messageAtom_ = XInternAtom(display.get(), kHookMessageAtomName, False);
}

std::unique_ptr<MacroHookLibrary> LinuxMacroHookPlatform::LoadHookLibrary() {
    const std::string path = libraryFolder_ + "/" + kHookLibraryFileName;
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) return nullptr;
    return std::make_unique<DlHookLibrary>(handle);
}

std::unique_ptr<SharedHookBlock> LinuxMacroHookPlatform::CreateSharedBlock(const std::string& name) {
    return PosixSharedBlock::Create(SharedBlockObjectName(name, displayName_));
}

std::optional<HookMessage> LinuxMacroHookPlatform::DecodeHookMessage(const std::string& eventType,
                                                                     void* message) {
    if (messageAtom_ == 0 || !message || eventType != "xcb_generic_event_t") return std::nullopt;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7F) != XCB_CLIENT_MESSAGE) return std::nullopt;
    const auto* client = static_cast<const xcb_client_message_event_t*>(message);
    if (client->format != 32 || client->type != messageAtom_ || client->data.data32[0] != 0x1400)
        return std::nullopt;
    return HookMessage{client->data.data32[1], client->data.data32[2]};
}

} // namespace orvanta::platform::linux_backend
