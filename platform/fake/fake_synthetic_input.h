#pragma once

#include "platform/api/synthetic_input.h"

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

namespace orvanta::platform::fake {

// Records synthesised input as text ("key down 65", "cursor 10 10", "button down left", "wheel -120",
// "move by 0 0") and keeps a cursor position that setCursorPos changes.
class FakeSyntheticInput : public SyntheticInput {
  public:
    void keyDown(unsigned virtualKey) override;
    void keyUp(unsigned virtualKey) override;
    void mouseMoveBy(int dx, int dy) override;
    void buttonDown(MouseButton button) override;
    void buttonUp(MouseButton button) override;
    void wheel(int delta) override;
    void setCursorPos(int x, int y) override;
    std::optional<CursorPoint> cursorPos() override;

    std::vector<std::string> events() const;

    // anyKeyHeld answers true for the next count questions, then false.
    void holdKeysFor(int count) { heldAnswers_ = count; }
    bool anyKeyHeld() override { return heldAnswers_-- > 0; }

    // Every playback's begin answers this reason from now on (empty: it may go on).
    void refusePlaybacks(std::string reason) {
        const std::lock_guard lock(mutex_);
        refusal_ = std::move(reason);
    }
    std::string beginPlayback(const std::atomic<bool>&) override {
        const std::lock_guard lock(mutex_);
        ++begun_;
        return refusal_;
    }
    void endPlayback() override { ++ended_; }
    int playbacksBegun() const {
        const std::lock_guard lock(mutex_);
        return begun_;
    }
    int playbacksEnded() const { return ended_.load(); }

  private:
    void Record(std::string event);

    mutable std::mutex mutex_;
    std::vector<std::string> events_;
    CursorPoint cursor_;
    std::atomic<int> heldAnswers_{0};
    std::string refusal_;
    int begun_ = 0;
    std::atomic<int> ended_{0};
};

} // namespace orvanta::platform::fake
