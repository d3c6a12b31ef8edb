#pragma once

#include "platform/api/macro_hook.h"

#include <string>

namespace orvanta::platform::windows_backend {

// The hook library as a DLL beside the program, the blocks as named file mappings backed by the paging
// file, and the hook message as a window message the recorder window receives.
class WindowsMacroHookPlatform : public MacroHookPlatform {
  public:
    // libraryFolder: where the hook library lies; by default the folder of the running program.
    explicit WindowsMacroHookPlatform(std::string libraryFolder = ProgramFolder());

    std::unique_ptr<MacroHookLibrary> LoadHookLibrary() override;
    std::unique_ptr<SharedHookBlock> CreateSharedBlock(const std::string& name) override;
    std::optional<HookMessage> DecodeHookMessage(const std::string& eventType, void* message) override;

    // The folder of the running program's file, without a trailing separator.
    static std::string ProgramFolder();

  private:
    std::string libraryFolder_;
};

inline constexpr char kHookLibraryFileName[] = "TalvenorMacro.dll";
// The number of the window message the hook library reports an input event with.
inline constexpr unsigned kHookMessageId = 0x1400;
// The event type the GUI toolkit gives a window's native events on this system; the message is a MSG.
inline constexpr char kNativeMessageEventType[] = "windows_generic_MSG";

} // namespace orvanta::platform::windows_backend
