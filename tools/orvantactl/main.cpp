#include "actions/desktop_actions.h"
#include "actions/reminder_messages.h"
#include "platform/linux/actions/linux_process_control.h"
#include "platform/linux/actions/linux_program_launcher.h"
#include "platform/linux/actions/linux_session_power.h"
#include "platform/linux/actions/x11_desktop.h"
#include "platform/linux/linux_clock.h"
#include "platform/linux/linux_memory_trim.h"
#include "platform/linux/linux_system_paths.h"
#include "tools/orvantactl/orvantactl.h"

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    namespace lb = orvanta::platform::linux_backend;
    lb::KeepFreedMemoryForReuse();
    const lb::LinuxClock clock;
    const lb::LinuxSystemPaths paths;
    lb::LinuxSessionPower sessionPower;
    lb::LinuxProgramLauncher launcher;
    lb::LinuxProcessControl processes;
    lb::X11AlertSound sound;
    // Without a message window, a message is printed where the user ran the command.
    orvanta::actions::PrintingMessageWindow messages(std::cout);
    orvanta::actions::DesktopActions actions({sessionPower, launcher, processes, sound, messages, clock, paths}, {});
    const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    return orvanta::ctl::RunOrvantactl(args, std::cout, std::cerr, clock, paths, actions);
}
