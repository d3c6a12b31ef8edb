#pragma once

namespace orvanta::platform {

// Keeps the computer and its display from going to sleep after an unattended wake-up.
// Every call stands alone and may come from any thread.
class KeepAwake {
  public:
    virtual ~KeepAwake() = default;

    // Switches the display on once, as if the user had touched the keyboard. Returns false when there is
    // no display this process can reach.
    virtual bool wakeDisplay() = 0;

    // Keeps the computer from sleeping when idle until release(). Holding it again while held changes
    // nothing. Returns false when the system refused or has no such service; nothing is held then.
    virtual bool holdSystemAwake() = 0;

    // Lets the ordinary idle sleep apply again. Releasing when nothing is held is fine.
    virtual void release() = 0;

    virtual bool holdingSystemAwake() const = 0;
};

} // namespace orvanta::platform
