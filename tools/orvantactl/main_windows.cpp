#include "actions/desktop_actions.h"
#include "actions/reminder_messages.h"
#include "platform/windows/windows_alert_sound.h"
#include "platform/windows/windows_clock.h"
#include "platform/windows/windows_process_control.h"
#include "platform/windows/windows_program_launcher.h"
#include "platform/windows/windows_session_power.h"
#include "platform/windows/windows_system_paths.h"
#include "tools/orvantactl/orvantactl.h"
#include "tools/orvantactl/start_outcomes.h"

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    namespace wb = orvanta::platform::windows_backend;
    const wb::WindowsClock clock;
    const wb::WindowsSystemPaths paths;
    orvanta::ctl::StartOutcomes outcomes;
    wb::WindowsSessionPower systemSessionPower;
    orvanta::ctl::NotingSessionPower sessionPower(systemSessionPower, outcomes);
    wb::WindowsProgramLauncher systemLauncher;
    orvanta::ctl::NotingLauncher launcher(systemLauncher, outcomes);
    wb::WindowsProcessControl processes;
    wb::WindowsAlertSound sound;
    // Without a message window, a message is printed where the user ran the command.
    orvanta::actions::PrintingMessageWindow messages(std::cout);
    orvanta::actions::DesktopActions actions(
        {sessionPower, launcher, processes, sound, messages, clock, paths}, {});
    const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    int status = orvanta::ctl::RunOrvantactl(args, std::cout, std::cerr, clock, paths, actions);
    for (const std::string& failure : outcomes.failures())
        std::cerr << "orvantactl: " << failure << '\n';
    if (status == 0 && !outcomes.failures().empty()) status = 1;
    return status;
}
