#pragma once

#include "platform/api/alert_sound.h"
#include "platform/api/session_power.h"

#include <string>

namespace orvanta::platform::linux_backend {

// Each call opens its own connection to the X display and closes it again, so any thread may call.
// An empty display name means $DISPLAY at the time of the call.

// DPMS force off. Unavailable without a display or where the server has no DPMS (Xvfb, Wayland's X
// compatibility servers). A server with DPMS switched off gets it switched on first, as it must be for
// the monitor to go dark; the server's own DPMS timeouts then apply too.
RequestResult ForceMonitorOff(const std::string& displayName);

// The X bell at the user's configured volume.
class X11AlertSound : public AlertSound {
  public:
    explicit X11AlertSound(std::string displayName = {}) : displayName_(std::move(displayName)) {}
    bool beep() override;

  private:
    std::string displayName_;
};

} // namespace orvanta::platform::linux_backend
