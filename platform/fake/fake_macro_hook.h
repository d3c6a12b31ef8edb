#pragma once

#include "platform/api/macro_hook.h"

#include <array>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace orvanta::platform::fake {

// The hook library and its shared blocks in memory. Every load, HookOn, HookOff, block creation and
// library release is written to one log, so tests see the order of the recorder's steps. Blocks outlive
// their handles, so a test can place the pointer where the hook library would.
class FakeMacroHookPlatform : public MacroHookPlatform {
  public:
    bool libraryLoads = true;
    bool libraryHasProcedures = true;
    // HookOn reports that nothing can be captured, as a library on a display without input capture does.
    bool cannotCapture = false;
    std::vector<std::string> failingBlocks;
    std::vector<std::string> log;

    std::unique_ptr<MacroHookLibrary> LoadHookLibrary() override;
    std::unique_ptr<SharedHookBlock> CreateSharedBlock(const std::string& name) override;
    // Fake native events are HookMessage objects under the event type "fake".
    std::optional<HookMessage> DecodeHookMessage(const std::string& eventType, void* message) override;

    // The block's memory, as the hook library would see it; zeros when never created.
    std::int32_t BlockField(const std::string& name, std::size_t offset) const;
    void SetBlockField(const std::string& name, std::size_t offset, std::int32_t value);
    // Whether a handle to the block is still open.
    bool BlockMapped(const std::string& name) const;

  private:
    struct Block {
        std::array<std::int32_t, 4> fields{};
        int handles = 0;
    };
    std::map<std::string, std::shared_ptr<Block>> blocks_;
    class Library;
    class Handle;
};

} // namespace orvanta::platform::fake
