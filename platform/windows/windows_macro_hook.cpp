#include "platform/windows/windows_macro_hook.h"

#include "platform/windows/windows_system_paths.h"

#include <cstring>
#include <windows.h>

namespace orvanta::platform::windows_backend {

namespace {

// The four 32-bit fields every block carries; the system maps whole pages, so asking for them is enough.
constexpr DWORD kSharedBlockBytes = 16;

class DllHookLibrary : public MacroHookLibrary {
  public:
    explicit DllHookLibrary(HMODULE module)
        : module_(module), on_(Bind(module, "HookOn")), off_(Bind(module, "HookOff")) {}
    ~DllHookLibrary() override { FreeLibrary(module_); }
    DllHookLibrary(const DllHookLibrary&) = delete;
    DllHookLibrary& operator=(const DllHookLibrary&) = delete;

    bool hasHookProcedures() const override { return on_ && off_; }
    void HookOn() override {
        if (on_) on_();
    }
    void HookOff() override {
        if (off_) off_();
    }

  private:
    using Procedure = void (*)();
    static Procedure Bind(HMODULE module, const char* name) {
        return reinterpret_cast<Procedure>(reinterpret_cast<void*>(GetProcAddress(module, name)));
    }

    HMODULE module_;
    Procedure on_;
    Procedure off_;
};

// A block stays in the system for as long as any process keeps a handle to it: the hook library opens it
// by name and sees the same memory.
class FileMappingBlock : public SharedHookBlock {
  public:
    static std::unique_ptr<FileMappingBlock> Create(const std::string& name) {
        HANDLE mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                            kSharedBlockBytes, name.c_str());
        if (!mapping) return nullptr;
        void* view = MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, 0);
        if (!view) {
            CloseHandle(mapping);
            return nullptr;
        }
        return std::unique_ptr<FileMappingBlock>(new FileMappingBlock(mapping, view));
    }
    ~FileMappingBlock() override {
        UnmapViewOfFile(view_);
        CloseHandle(mapping_);
    }
    FileMappingBlock(const FileMappingBlock&) = delete;
    FileMappingBlock& operator=(const FileMappingBlock&) = delete;

    void writeInt32(std::size_t offset, std::int32_t value) override {
        if (offset + 4 <= kSharedBlockBytes) std::memcpy(static_cast<char*>(view_) + offset, &value, 4);
    }
    std::int32_t readInt32(std::size_t offset) const override {
        std::int32_t value = 0;
        if (offset + 4 <= kSharedBlockBytes) std::memcpy(&value, static_cast<const char*>(view_) + offset, 4);
        return value;
    }

  private:
    FileMappingBlock(HANDLE mapping, void* view) : mapping_(mapping), view_(view) {}
    HANDLE mapping_;
    void* view_;
};

} // namespace

WindowsMacroHookPlatform::WindowsMacroHookPlatform(std::string libraryFolder)
    : libraryFolder_(std::move(libraryFolder)) {}

std::string WindowsMacroHookPlatform::ProgramFolder() {
    return WindowsSystemPaths().executableFolder();
}

std::unique_ptr<MacroHookLibrary> WindowsMacroHookPlatform::LoadHookLibrary() {
    // The full path, so the search order can never pick up a library of the same name elsewhere.
    const std::string path = libraryFolder_ + "\\" + kHookLibraryFileName;
    HMODULE module = LoadLibraryA(path.c_str());
    if (!module) return nullptr;
    return std::make_unique<DllHookLibrary>(module);
}

std::unique_ptr<SharedHookBlock> WindowsMacroHookPlatform::CreateSharedBlock(const std::string& name) {
    return FileMappingBlock::Create(name);
}

std::optional<HookMessage> WindowsMacroHookPlatform::DecodeHookMessage(const std::string& eventType,
                                                                       void* message) {
    if (!message || eventType != kNativeMessageEventType) return std::nullopt;
    const auto* msg = static_cast<const MSG*>(message);
    if (msg->message != kHookMessageId) return std::nullopt;
    return HookMessage{static_cast<unsigned>(msg->wParam), static_cast<std::uint32_t>(msg->lParam)};
}

} // namespace orvanta::platform::windows_backend
