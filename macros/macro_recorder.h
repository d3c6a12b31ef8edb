#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvanta::macros {

// The window message the hook library delivers to the recorder, and the key that ends a recording.
inline constexpr unsigned kHookMessage = 0x1400;
inline constexpr unsigned kRecordStopKey = 123; // F12

// Codes below 256 are keys, except 150 to 185, where the non-client mouse messages live.
bool IsHookKeyCode(unsigned code);

// The line command a mouse event code stands for; empty for a code without one (recorded as a bare
// mouse line). Key codes give "KEY_DOWN"; the release flag decides between down and up.
std::string_view HookMouseCommand(unsigned code);

// What the hook library leaves in the shared block before a mouse event: the pointer position, or in
// the x field's low 16 bits the signed wheel delta.
struct HookBlockPoint {
    std::int32_t x = 0;
    std::int32_t y = 0;
};

// The recording the recorder window builds from the hook's events: the macro lines and the state that
// times them and decides which pointer moves count.
class MacroRecording {
  public:
    enum class Reply { Stop, Recorded, Dropped };

    // Starts over: no lines, the clock not yet started.
    void Begin();

    // One hook event. F12 answers Stop and records nothing; other events answer whether a line was added.
    Reply OnHookEvent(unsigned code, std::uint32_t param, HookBlockPoint block, std::uint32_t tick,
                      bool ignoreMouseMoves);

    const std::vector<std::string>& lines() const { return lines_; }
    void setLines(std::vector<std::string> lines) { lines_ = std::move(lines); }

    std::uint32_t recordStartTick() const { return recordStartTick_; } // RecordStartTick; 0: not started
    const std::string& lastButtonCommand() const { return lastButtonCommand_; } // LastButtonCommand

  private:
    std::vector<std::string> lines_;
    std::uint32_t recordStartTick_ = 0;
    std::string lastButtonCommand_;
};

// The name a recording is saved under: ".mco" is appended unless the name already ends in exactly that
// (a capitalised ".MCO" counts as no extension).
std::string WithMacroExtension(std::string name);

} // namespace orvanta::macros
