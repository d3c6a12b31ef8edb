#pragma once

// These Windows headers need <windows.h> before them.
// clang-format off
#include <windows.h>
#include <powrprof.h>
// clang-format on

namespace orvanta::platform::windows_backend {

// The functions of "powrprof.dll", bound at run time: the library is loaded for as long as this object
// lives, and a function the system lacks answers as a refusal.
class PowerLibrary {
  public:
    PowerLibrary();
    ~PowerLibrary();
    PowerLibrary(const PowerLibrary&) = delete;
    PowerLibrary& operator=(const PowerLibrary&) = delete;

    bool loaded() const { return module_ != nullptr; }
    bool powerCapabilities(SYSTEM_POWER_CAPABILITIES& caps) const;
    bool suspend(bool hibernate) const;
    // Whether the active power scheme asks for the password on wake-up, on line power; a setting that
    // cannot be read counts as not asking.
    bool consoleLockRequired() const;

  private:
    HMODULE module_ = nullptr;
};

} // namespace orvanta::platform::windows_backend
