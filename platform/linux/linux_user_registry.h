#pragma once

#include "platform/api/user_registry.h"

#include <string>

namespace orvanta::platform::linux_backend {

// The user's registry values as files under the XDG configuration folder.
//
// Values of the run-at-start-up key are XDG autostart entries: value "Orvanta" is
// autostart/Orvanta.desktop, whose Exec line holds the value (the program path). An entry the desktop
// has switched off (Hidden=true or X-GNOME-Autostart-enabled=false) reads as the empty text, since the
// program will not start with the session. Every other key path is one section of
// Orvanta/registry.ini, named after the key path.
class LinuxUserRegistry : public UserRegistry {
  public:
    // Uses $XDG_CONFIG_HOME (else ~/.config) as it is at construction.
    LinuxUserRegistry();
    explicit LinuxUserRegistry(std::string configFolder);

    std::string readString(const std::string& keyPath, const std::string& valueName) const override;
    bool writeString(const std::string& keyPath, const std::string& valueName,
                     const std::string& value) override;
    void deleteValue(const std::string& keyPath, const std::string& valueName) override;
    // The program's folder under the configuration folder, where values that need a file of their own live.
    std::string registryFolder() const;

  private:
    std::string autostartFolder() const;
    std::string autostartFile(const std::string& valueName) const;
    std::string registryFile() const;

    std::string configFolder_;
};

// The Exec value of a desktop entry that runs exactly this program, quoted and escaped as desktop
// entries require when the path holds blanks or reserved characters.
std::string DesktopExecValue(const std::string& programPath);

// The program an Exec value names, undoing DesktopExecValue. When the value carries more than one
// argument, or is malformed, the whole value comes back (string escapes undone), which matches no
// plain program path.
std::string ProgramFromDesktopExec(const std::string& execValue);

} // namespace orvanta::platform::linux_backend
