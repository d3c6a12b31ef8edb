#pragma once

#include "actions/launch_value.h"
#include "actions/reminder_messages.h"
#include "platform/api/alert_sound.h"
#include "platform/api/clock.h"
#include "platform/api/process_control.h"
#include "platform/api/program_launcher.h"
#include "platform/api/system_paths.h"

#include <string>

namespace orvanta::actions {

// The program, file, web, process and message actions of a task, and the two Tools commands that start
// outside programs. None reports a failure to the user: a missing program or file simply has no effect.
class ProgramActions {
  public:
    struct Ports {
        platform::ProgramLauncher& launcher;
        platform::ProcessControl& processes;
        platform::AlertSound& sound;
        MessageWindow& messages;
        const platform::Clock& clock;
        const platform::SystemPaths& paths;
    };
    struct Options {
        StampFormat stamp;                                // empty: DefaultStamp
        FileProbe isFile;                                 // empty: the file system
        std::string settingsProgram = "Orvanta_Settings"; // file name, beside our executable
        std::string serviceProgram = "OrvantaService";    // process name
        std::string uninstaller = "orvanta-uninstall";    // file name, beside our executable
    };

    ProgramActions(Ports ports, Options options);

    // A stored "program | parameters" value.
    // False when the system could not start it (no such program).
    bool LaunchProgram(const std::string& launchValue);
    // The path goes to the desktop unchanged: no quotes are added.
    void OpenDocument(const std::string& path);
    // Tries the desktop's protocol handler when the ordinary way reports failure.
    void OpenWebAddress(const std::string& address);
    bool KillProcessesByName(const std::string& terminateValue);
    void ShowReminderMessage(const std::string& message);
    void RunElevated(const std::string& program, const std::string& parameters);

    // Tools > Power Management.
    void OpenPowerManagement();

    enum class SettingsStart { Started, Missing, Refused };
    // Tools > Atomic Clock: our settings program with "2", elevated. Missing when it is not installed
    // beside the executable.
    SettingsStart StartAtomicClock();

    // Tools > Uninstall: ends every running service program, then starts the uninstaller where one is
    // installed with the program. False when there is none to start.
    bool StartUninstall();
    // Whether there is an uninstaller to start (the menu item is greyed without one).
    bool HasUninstaller() const;

  private:
    // The program's own file of that name: beside the executable, else where an installed copy keeps it.
    std::string OwnFile(const std::string& fileName) const;

    Ports ports_;
    Options options_;
};

} // namespace orvanta::actions
