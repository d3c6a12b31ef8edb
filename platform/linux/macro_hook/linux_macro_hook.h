#pragma once

#include "platform/api/macro_hook.h"

#include <string>

namespace orvanta::platform::linux_backend {

// The hook library as a shared library beside the program, the blocks as POSIX shared memory named
// for the user and the display (SharedBlockObjectName), and the hook message as an X client message to
// the recorder's window.
class LinuxMacroHookPlatform : public MacroHookPlatform {
  public:
    // libraryFolder: where libTalvenorMacro.so lies, the running program's folder. An empty display name
    // means $DISPLAY.
    explicit LinuxMacroHookPlatform(std::string libraryFolder, const std::string& displayName = {});

    std::unique_ptr<MacroHookLibrary> LoadHookLibrary() override;
    std::unique_ptr<SharedHookBlock> CreateSharedBlock(const std::string& name) override;
    std::optional<HookMessage> DecodeHookMessage(const std::string& eventType, void* message) override;

  private:
    std::string libraryFolder_;
    std::string displayName_;
    unsigned long messageAtom_ = 0; // 0: no display, so no message can be one
};

// The file name of the hook library.
inline constexpr char kHookLibraryFileName[] = "libTalvenorMacro.so";

} // namespace orvanta::platform::linux_backend
