#include "platform/fake/fake_macro_hook.h"

#include <algorithm>
#include <stdexcept>

namespace orvanta::platform::fake {

class FakeMacroHookPlatform::Library : public MacroHookLibrary {
  public:
    Library(FakeMacroHookPlatform& owner) : owner_(owner) {}
    ~Library() override { owner_.log.push_back("free library"); }
    bool hasHookProcedures() const override { return owner_.libraryHasProcedures; }
    void HookOn() override {
        owner_.log.push_back("HookOn");
        if (owner_.cannotCapture) owner_.SetBlockField("KSMFmapp", kHookStatusOffset, kHookCannotCapture);
    }
    void HookOff() override { owner_.log.push_back("HookOff"); }

  private:
    FakeMacroHookPlatform& owner_;
};

class FakeMacroHookPlatform::Handle : public SharedHookBlock {
  public:
    Handle(FakeMacroHookPlatform& owner, std::string name, std::shared_ptr<Block> block)
        : owner_(owner), name_(std::move(name)), block_(std::move(block)) {
        ++block_->handles;
    }
    ~Handle() override {
        --block_->handles;
        owner_.log.push_back("close " + name_);
    }
    void writeInt32(std::size_t offset, std::int32_t value) override {
        block_->fields.at(offset / 4) = value;
    }
    std::int32_t readInt32(std::size_t offset) const override { return block_->fields.at(offset / 4); }

  private:
    FakeMacroHookPlatform& owner_;
    std::string name_;
    std::shared_ptr<Block> block_;
};

std::unique_ptr<MacroHookLibrary> FakeMacroHookPlatform::LoadHookLibrary() {
    log.push_back(libraryLoads ? "load library" : "load library failed");
    if (!libraryLoads) return nullptr;
    return std::make_unique<Library>(*this);
}

std::unique_ptr<SharedHookBlock> FakeMacroHookPlatform::CreateSharedBlock(const std::string& name) {
    if (std::find(failingBlocks.begin(), failingBlocks.end(), name) != failingBlocks.end()) {
        log.push_back("create " + name + " failed");
        return nullptr;
    }
    log.push_back("create " + name);
    auto& block = blocks_[name];
    if (!block) block = std::make_shared<Block>();
    return std::make_unique<Handle>(*this, name, block);
}

std::optional<HookMessage> FakeMacroHookPlatform::DecodeHookMessage(const std::string& eventType,
                                                                    void* message) {
    if (eventType != "fake" || !message) return std::nullopt;
    return *static_cast<const HookMessage*>(message);
}

std::int32_t FakeMacroHookPlatform::BlockField(const std::string& name, std::size_t offset) const {
    const auto it = blocks_.find(name);
    return it == blocks_.end() ? 0 : it->second->fields.at(offset / 4);
}

void FakeMacroHookPlatform::SetBlockField(const std::string& name, std::size_t offset, std::int32_t value) {
    auto& block = blocks_[name];
    if (!block) block = std::make_shared<Block>();
    block->fields.at(offset / 4) = value;
}

bool FakeMacroHookPlatform::BlockMapped(const std::string& name) const {
    const auto it = blocks_.find(name);
    return it != blocks_.end() && it->second->handles > 0;
}

} // namespace orvanta::platform::fake
