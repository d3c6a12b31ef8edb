#pragma once

#include "platform/api/program_launcher.h"

#include <optional>
#include <string>
#include <vector>

namespace orvanta::platform::linux_backend {

// Starts programs detached from their argument vector, never through a shell, and opens documents and
// addresses with xdg-open, falling back to "gio open" where xdg-open is missing or reports failure.
// Programs are looked up on $PATH at each call.
class LinuxProgramLauncher : public ProgramLauncher {
  public:
    bool startProgram(const ProgramStart& start) override;
    bool openDocument(const std::string& path) override;
    bool openAddress(const std::string& address) override;
    bool openAddressWithProtocolHandler(const std::string& address) override;
    // Through pkexec: polkit asks the user for the administrator's password where its rules say so.
    bool runElevated(const ProgramStart& start) override;
    // The first of the desktops' power settings programs found.
    bool openPowerSettings() override;
};

// The desktops' power settings programs, in the order they are tried; each is a full argument vector.
const std::vector<std::vector<std::string>>& PowerSettingsCommands();

// An opener reads a target that starts with "-" as an option; a relative path is kept a path by
// prefixing "./".
std::string OpenerSafeTarget(const std::string& target);

} // namespace orvanta::platform::linux_backend
