#pragma once

#include "platform/api/global_hotkeys.h"

#include <map>
#include <mutex>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace orvanta::platform::fake {

// Global hotkeys held in a table. Tests mark combinations as taken by another program, read what is
// registered and press combinations; a press runs the callback on the test's thread.
class FakeGlobalHotkeys : public GlobalHotkeys {
  public:
    struct Grab {
        unsigned modifiers = 0;
        unsigned virtualKey = 0;
        bool operator==(const Grab&) const = default;
        auto operator<=>(const Grab&) const = default;
    };

    void setOnPressed(PressedCallback onPressed) override;
    HotkeyRegistration registerHotkey(unsigned modifiers, unsigned virtualKey, int id) override;
    void unregisterHotkey(int id) override;

    // Another program holds the combination, so registering it is refused.
    void takeByOtherProgram(unsigned modifiers, unsigned virtualKey);
    // Every registration answers Unavailable, as without a display.
    void setUnavailable(bool unavailable);
    // Bound as a desktop portal binds: a batch's registration of the combination is taken back at its end.
    void refuseWhenBound(unsigned modifiers, unsigned virtualKey, HotkeyRefusal::Why why, std::string detail);
    void beginBatch() override;
    std::vector<HotkeyRefusal> endBatch() override;
    int batchesEnded() const;
    void setOnBound(BoundCallback onBound) override;
    // A bind that ends later, as a portal's does: the refused ids are let go and the outcome is told on the
    // test's thread.
    void bindEndsLater(std::vector<HotkeyRefusal> refused);

    // The registered combinations by id.
    std::map<int, Grab> registered() const;
    bool isRegistered(unsigned modifiers, unsigned virtualKey) const;
    int registerCalls() const;

    // Presses a combination: delivered only when it is registered here. Returns whether it was.
    bool press(unsigned modifiers, unsigned virtualKey);

  private:
    mutable std::mutex mutex_;
    PressedCallback onPressed_;
    BoundCallback onBound_;
    std::map<int, Grab> grabs_;
    std::set<Grab> taken_;
    bool unavailable_ = false;
    int registerCalls_ = 0;
    std::map<Grab, HotkeyRefusal> refuseWhenBound_;
    bool batching_ = false;
    int batchesEnded_ = 0;
};

} // namespace orvanta::platform::fake
