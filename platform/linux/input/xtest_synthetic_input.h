#pragma once

#include "platform/api/synthetic_input.h"

#include <memory>
#include <string>

namespace orvanta::platform::linux_backend {

// Synthetic input through the XTest extension on a connection of its own. Without a display or without
// XTest every call does nothing and no position is known.
class XTestSyntheticInput : public SyntheticInput {
  public:
    // An empty display name means $DISPLAY.
    explicit XTestSyntheticInput(const std::string& displayName = {});
    ~XTestSyntheticInput() override;
    XTestSyntheticInput(const XTestSyntheticInput&) = delete;
    XTestSyntheticInput& operator=(const XTestSyntheticInput&) = delete;

    bool available() const;

    void keyDown(unsigned virtualKey) override;
    void keyUp(unsigned virtualKey) override;
    void mouseMoveBy(int dx, int dy) override;
    void buttonDown(MouseButton button) override;
    void buttonUp(MouseButton button) override;
    void wheel(int delta) override;
    void setCursorPos(int x, int y) override;
    std::optional<CursorPoint> cursorPos() override;
    bool anyKeyHeld() override;

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace orvanta::platform::linux_backend
