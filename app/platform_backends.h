#pragma once

#include "platform/api/alert_sound.h"
#include "platform/api/clock.h"
#include "platform/api/desktop_facts.h"
#include "platform/api/desktop_features.h"
#include "platform/api/desktop_notifications.h"
#include "platform/api/global_hotkeys.h"
#include "platform/api/keep_awake.h"
#include "platform/api/locale_info.h"
#include "platform/api/log.h"
#include "platform/api/macro_hook.h"
#include "platform/api/memory_trim.h"
#include "platform/api/power_status.h"
#include "platform/api/process_control.h"
#include "platform/api/program_launcher.h"
#include "platform/api/resume_monitor.h"
#include "platform/api/resume_password_setting.h"
#include "platform/api/run_history.h"
#include "platform/api/running_program.h"
#include "platform/api/session_power.h"
#include "platform/api/single_instance.h"
#include "platform/api/synthetic_input.h"
#include "platform/api/system_paths.h"
#include "platform/api/tray_hosts.h"
#include "platform/api/user_registry.h"
#include "platform/api/wake_timer.h"

#include <chrono>
#include <functional>
#include <memory>

namespace orvanta::app {

// One object of each system service the program uses, owned here and ended together. Which system's
// objects they are is decided by the build, which compiles one definition of MakePlatformBackends();
// whatever one backend needs of another is wired there.
struct PlatformBackends {
    // What the services below share (on Linux the screen saver and the record of our own wake-ups).
    // First, so that it ends after all of them.
    std::shared_ptr<void> shared;

    // What this desktop lets the services below do; a service it does not let work is given one that
    // answers as unavailable rather than one that would seem to work.
    std::unique_ptr<platform::DesktopFeatures> features;

    std::unique_ptr<platform::Clock> clock;
    std::unique_ptr<platform::SystemPaths> paths;
    std::unique_ptr<platform::UserRegistry> registry;
    std::unique_ptr<platform::PowerStatus> power;
    std::unique_ptr<platform::LocaleInfo> locale;
    std::unique_ptr<platform::WakeTimerFactory> wakeTimers;
    std::unique_ptr<platform::KeepAwake> keepAwake;
    std::unique_ptr<platform::ResumeMonitor> resumeMonitor;
    std::unique_ptr<platform::SingleInstance> instance;
    std::unique_ptr<platform::MemoryTrim> memoryTrim;
    std::unique_ptr<platform::SessionPower> sessionPower;
    std::unique_ptr<platform::ProgramLauncher> launcher;
    std::unique_ptr<platform::ProcessControl> processes;
    std::unique_ptr<platform::AlertSound> sound;
    std::unique_ptr<platform::GlobalHotkeys> globalHotkeys;
    std::unique_ptr<platform::SyntheticInput> syntheticInput;
    std::unique_ptr<platform::MacroHookPlatform> macroHooks;
    // The desktop's password-on-resume switch, as the options page shows it.
    std::unique_ptr<platform::ResumePasswordSetting> resumePassword;
    // The notification-area hosts as they come and go, and the desktop's notification server.
    std::unique_ptr<platform::TrayHostWatch> trayHosts;
    std::unique_ptr<platform::DesktopNotifications> notifications;
    // What ran and what did not, kept where the system keeps such records.
    std::unique_ptr<platform::RunHistory> runHistory;
    // The copy already running for a data folder, which a second start hands its request to.
    std::unique_ptr<platform::RunningProgram> runningProgram;

    // How a macro playback thread is made to wake on time, and how long before each moment it may stop
    // sleeping (see macros::SteadyMacroWaiter).
    std::function<void()> playbackThreadTuning;
    std::chrono::microseconds playbackSleepMargin{};
    // Makes onRequest run, on some thread, when the system asks the program to end (a termination
    // signal); it must post the ending to the GUI thread. The requests come while the returned handle
    // lives. Where the system asks through the windows instead, the handle is empty and nothing comes.
    std::function<std::shared_ptr<void>(std::function<void()> onRequest)> watchTermination;
};

// This system's backends. What goes wrong out of sight in them goes to the log, which outlives them.
std::unique_ptr<PlatformBackends> MakePlatformBackends(platform::Log& log);

// The services a command-line run is given; none of them opens the display.
struct CommandLineBackends {
    std::unique_ptr<platform::Clock> clock;
    std::unique_ptr<platform::SystemPaths> paths;
    std::unique_ptr<platform::SessionPower> sessionPower;
    std::unique_ptr<platform::ProgramLauncher> launcher;
    std::unique_ptr<platform::ProcessControl> processes;
    std::unique_ptr<platform::AlertSound> sound;
    std::unique_ptr<platform::RunHistory> runHistory;
    // What the desktop offers, for the doctor; empty where this system has no probe.
    std::function<platform::DesktopFacts()> probeDesktop;
    // The program the Start at Log In entry starts; empty without one.
    std::function<std::string()> autostartProgram;
    // The program running in this session, which is told of every change and answers from its table.
    std::unique_ptr<platform::RunningProgram> runningProgram;
};

std::unique_ptr<CommandLineBackends> MakeCommandLineBackends(platform::Log& log);

// What a macro played from the command line needs, made once one plays.
struct MacroPlaybackBackends {
    std::unique_ptr<platform::SyntheticInput> input;
    bool inputAvailable = false; // false without a display to type on
    std::string inputUnavailableReason;
    std::unique_ptr<platform::GlobalHotkeys> hotkeys;
    std::function<void()> threadTuning;
    std::chrono::microseconds sleepMargin{};
    // As PlatformBackends::watchTermination.
    std::function<std::shared_ptr<void>(std::function<void()> onRequest)> watchTermination;
};

// Whether this system's command line plays task macros; MakeMacroPlaybackBackends() only where it does.
extern const bool kCommandLinePlaysMacros;
std::unique_ptr<MacroPlaybackBackends> MakeMacroPlaybackBackends(platform::Log& log);

} // namespace orvanta::app
