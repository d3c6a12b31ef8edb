#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace orvanta::platform {

// The outside hook library that captures the user's input for the macro recorder.
class MacroHookLibrary {
  public:
    virtual ~MacroHookLibrary() = default;
    // Whether both HookOn and HookOff were found in it.
    virtual bool hasHookProcedures() const = 0;
    virtual void HookOn() = 0;
    virtual void HookOff() = 0;
};

// A named block of shared memory the recorder and the hook library both map; fields are little-endian
// 32-bit values at byte offsets 0, 4, 8 and 12.
class SharedHookBlock {
  public:
    virtual ~SharedHookBlock() = default;
    virtual void writeInt32(std::size_t offset, std::int32_t value) = 0;
    virtual std::int32_t readInt32(std::size_t offset) const = 0;
};

// Offset 4 of the pointer block: a hook library that cannot capture anything on this desktop (no input
// capture in the display server, no display) writes kHookCannotCapture there during HookOn.
inline constexpr std::size_t kHookStatusOffset = 4;
inline constexpr std::int32_t kHookCannotCapture = 1;
// The same field once the library has paused, because the screen was locked or another program held the
// keyboard (a password prompt): it reports no input meanwhile. The value stays until the next HookOn.
inline constexpr std::int32_t kHookPaused = 2;

// One delivery of the hook message: the event code and the second parameter (a key's flags).
struct HookMessage {
    unsigned code = 0;
    std::uint32_t param = 0;
    bool operator==(const HookMessage&) const = default;
};

// What the macro recorder needs from the system to record.
class MacroHookPlatform {
  public:
    virtual ~MacroHookPlatform() = default;
    // Loads the hook library from the folder of the running program; nothing when it cannot be loaded.
    virtual std::unique_ptr<MacroHookLibrary> LoadHookLibrary() = 0;
    // Creates (or opens) and maps the named block; nothing when that fails.
    virtual std::unique_ptr<SharedHookBlock> CreateSharedBlock(const std::string& name) = 0;
    // The hook message within a native window event the recorder window received, if it is one. The
    // event type and message are what the GUI toolkit hands the window for its native events.
    virtual std::optional<HookMessage> DecodeHookMessage(const std::string& eventType, void* message) = 0;
};

} // namespace orvanta::platform
