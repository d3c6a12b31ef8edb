#pragma once

#include "platform/linux/desktop_session.h"

#include <string>

namespace orvanta::platform::linux_backend {

// The X server's screen saver, display power and idle counter. Each call opens its own connection to the
// display and closes it again, so any thread may call and nothing is held between calls.
class X11ScreenSaver : public DisplayWaker, public UserIdleTime {
  public:
    // An empty name means the display named by $DISPLAY at the time of each call.
    explicit X11ScreenSaver(std::string displayName = {}) : displayName_(std::move(displayName)) {}

    // Forces display power on where the server has DPMS and resets the screen saver.
    bool wakeDisplay() override;

    // From the MIT-SCREEN-SAVER extension; nullopt without a display or that extension.
    std::optional<std::chrono::milliseconds> userIdleTime() override;

  private:
    std::string displayName_;
};

} // namespace orvanta::platform::linux_backend
