#pragma once

#include <ostream>
#include <string>

namespace orvanta::settings_tool {

// Started through pkexec the program runs as root with a bare environment, while the desktop setting
// belongs to the user who asked for the change. Switches to that user and brings back what finding the
// desktop needs: home, runtime folder, session bus and the desktop's name. False when the switch failed;
// a program not started through pkexec stays as it is.
bool BecomeCallingUser(std::ostream& err);

// systemd-timedated's SetNTP over the system bus, letting polkit ask where it wants to. An error message,
// empty on success.
std::string EnableNetworkTime();

} // namespace orvanta::settings_tool
