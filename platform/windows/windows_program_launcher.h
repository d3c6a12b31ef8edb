#pragma once

#include "platform/api/program_launcher.h"

#include <string>

namespace orvanta::platform::windows_backend {

// The shell's "open" and "runas" verbs; the URL protocol handler through rundll32.
class WindowsProgramLauncher : public ProgramLauncher {
  public:
    bool startProgram(const ProgramStart& start) override;
    bool openDocument(const std::string& path) override;
    bool openAddress(const std::string& address) override;
    bool openAddressWithProtocolHandler(const std::string& address) override;
    bool runElevated(const ProgramStart& start) override;
    bool openPowerSettings() override;
};

} // namespace orvanta::platform::windows_backend
