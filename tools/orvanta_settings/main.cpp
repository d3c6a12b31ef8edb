// Orvanta_Settings: the system settings the scheduler's options change, in a program of their own so
// that only this small piece ever runs with raised rights.
#include "tools/orvanta_settings/settings_command.h"
#include "tools/orvanta_settings/system_services.h"

#include <iostream>

int main(int argc, char** argv) {
    using namespace orvanta;
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    // Network time is a system setting and keeps the rights it was started with; the lock on resume is
    // the user's own.
    if (arguments != std::vector<std::string>{"2"} && !settings_tool::BecomeCallingUser(std::cerr))
        return settings_tool::kFailed;
    const settings_tool::SettingsServices services{[] {
                                                       return platform::linux_backend::FindResumeLockControl(
                                                           platform::linux_backend::ProcessLockEnvironment());
                                                   },
                                                   settings_tool::EnableNetworkTime};
    return settings_tool::RunSettingsCommand(arguments, services, std::cerr);
}
