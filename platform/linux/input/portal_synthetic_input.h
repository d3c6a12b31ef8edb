#pragma once

#include "platform/api/synthetic_input.h"

#include <chrono>
#include <functional>
#include <memory>
#include <string>

namespace orvanta::platform::linux_backend {

struct PortalInputOptions {
    // The RemoteDesktop interface's version on the bus: from 2 on, the desktop can remember the user's
    // answer, so they are asked once rather than at every playback.
    unsigned portalVersion = 1;
    // How long the user may think about the desktop's question before the playback gives up.
    std::chrono::milliseconds answerLimit = std::chrono::minutes(2);
    // Where the desktop's token for the remembered answer is kept between program runs; without them it
    // lasts as long as this object.
    std::function<std::string()> loadRestoreToken;
    std::function<void(const std::string&)> saveRestoreToken;
};

// Synthetic input through the desktop's org.freedesktop.portal.RemoteDesktop, for Wayland sessions. Each
// playback (or run of overlapping playbacks) gets a remote desktop session of its own, asked for on the
// playback's thread and closed when the last of them ends, so the desktop's "being controlled" sign shows
// only while a macro plays. Between sessions every call does nothing.
class PortalSyntheticInput : public SyntheticInput {
  public:
    explicit PortalSyntheticInput(PortalInputOptions options = {});
    ~PortalSyntheticInput() override;
    PortalSyntheticInput(const PortalSyntheticInput&) = delete;
    PortalSyntheticInput& operator=(const PortalSyntheticInput&) = delete;

    std::string beginPlayback(const std::atomic<bool>& stop) override;
    bool asksBeforePlayback() const override { return true; }
    void endPlayback() override;

    void keyDown(unsigned virtualKey) override;
    void keyUp(unsigned virtualKey) override;
    void mouseMoveBy(int dx, int dy) override;
    void buttonDown(MouseButton button) override;
    void buttonUp(MouseButton button) override;
    void wheel(int delta) override;
    void setCursorPos(int x, int y) override;
    // The desktop tells no program where the pointer is.
    std::optional<CursorPoint> cursorPos() override { return std::nullopt; }

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace orvanta::platform::linux_backend
