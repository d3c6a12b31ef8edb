#pragma once

#include "platform/api/global_hotkeys.h"
#include "platform/api/log.h"

#include <chrono>
#include <memory>
#include <string>

namespace orvanta::platform::linux_backend {

// The text of a combination as the desktop portal's preferred_trigger takes it: "ALT+A", "CTRL+5", "ALT+F12".
// Empty for a key it has no name for.
std::string PortalTrigger(unsigned modifiers, unsigned virtualKey);

// Whether the desktop's description of a trigger ("Alt+A", "alt + a") names the combination asked for.
bool SameTrigger(const std::string& description, const std::string& trigger);

struct PortalHotkeyOptions {
    // Registered with the portal's host registry first where it offers one, so the shortcuts belong to
    // the program's desktop entry.
    std::string appId;
    bool registerAppId = false;
    // How long a bind may take; a desktop may ask the user about the shortcuts first.
    std::chrono::milliseconds answerLimit = std::chrono::seconds(30);
};

// Global hotkeys as the shortcuts of one session of the desktop's GlobalShortcuts portal. A portal binds
// a session's shortcuts once, so every change of the set ends the session and binds the whole set in a
// new one; a batch (a reload of the hotkey list) does this once. The desktop may ask the user before it
// binds, so the binds run on the backend's own bus thread: registering, releasing and endBatch answer at
// once, and what the desktop then did not keep is told through setOnBound. Presses arrive as the portal's
// Activated signal on the same thread.
// A portal that ends takes its sessions with it; the set held stays wanted and is bound again in a new
// session once another portal owns the name, and the caller is told to register again what was answered
// Unavailable meanwhile.
class PortalGlobalHotkeys : public GlobalHotkeys {
  public:
    PortalGlobalHotkeys(Log& log, PortalHotkeyOptions options);
    ~PortalGlobalHotkeys() override;
    PortalGlobalHotkeys(const PortalGlobalHotkeys&) = delete;
    PortalGlobalHotkeys& operator=(const PortalGlobalHotkeys&) = delete;

    void setOnPressed(PressedCallback onPressed) override;
    void setOnBound(BoundCallback onBound) override;
    void setOnAvailableAgain(AvailableAgainCallback onAvailableAgain) override;
    HotkeyRegistration registerHotkey(unsigned modifiers, unsigned virtualKey, int id) override;
    void unregisterHotkey(int id) override;
    void beginBatch() override;
    std::vector<HotkeyRefusal> endBatch() override;

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace orvanta::platform::linux_backend
