#pragma once

#include "platform/api/global_hotkeys.h"
#include "platform/api/log.h"

#include <memory>
#include <string>

namespace orvanta::platform::linux_backend {

// Global hotkeys as passive key grabs on the root window of an X display. The backend has its own
// connection and one thread that makes every Xlib call and delivers the presses; the other methods hand
// their work to that thread and wait for it, so they must not be called from the pressed callback.
// Without a display every registration answers Unavailable.
class LinuxGlobalHotkeys : public GlobalHotkeys {
  public:
    // An empty display name means $DISPLAY. A grab the X server refuses, and a hotkey left without one
    // after a change of layout, leave a line in the log.
    explicit LinuxGlobalHotkeys(Log& log, const std::string& displayName = {});
    ~LinuxGlobalHotkeys() override;
    LinuxGlobalHotkeys(const LinuxGlobalHotkeys&) = delete;
    LinuxGlobalHotkeys& operator=(const LinuxGlobalHotkeys&) = delete;

    bool available() const;

    void setOnPressed(PressedCallback onPressed) override;
    HotkeyRegistration registerHotkey(unsigned modifiers, unsigned virtualKey, int id) override;
    void unregisterHotkey(int id) override;

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace orvanta::platform::linux_backend
