// The Win32 backends.
#include "app/platform_backends.h"
#include "platform/windows/playback_thread_timing.h"
#include "platform/windows/windows_alert_sound.h"
#include "platform/windows/windows_clock.h"
#include "platform/windows/windows_desktop_features.h"
#include "platform/windows/windows_global_hotkeys.h"
#include "platform/windows/windows_keep_awake.h"
#include "platform/windows/windows_locale_info.h"
#include "platform/windows/windows_macro_hook.h"
#include "platform/windows/windows_memory_trim.h"
#include "platform/windows/windows_notification_area.h"
#include "platform/windows/windows_power_status.h"
#include "platform/windows/windows_process_control.h"
#include "platform/windows/windows_program_launcher.h"
#include "platform/windows/windows_resume_monitor.h"
#include "platform/windows/windows_resume_password_setting.h"
#include "platform/windows/windows_run_history.h"
#include "platform/windows/windows_running_program.h"
#include "platform/windows/windows_session_power.h"
#include "platform/windows/windows_single_instance.h"
#include "platform/windows/windows_synthetic_input.h"
#include "platform/windows/windows_system_paths.h"
#include "platform/windows/windows_user_registry.h"
#include "platform/windows/windows_wake_timer.h"

namespace orvanta::app {

// The objects stand alone: the system itself tells our wake-ups from the user's, so nothing is shared.
std::unique_ptr<PlatformBackends> MakePlatformBackends(platform::Log& log) {
    namespace wb = platform::windows_backend;
    auto b = std::make_unique<PlatformBackends>();
    b->features = std::make_unique<wb::WindowsDesktopFeatures>();
    b->clock = std::make_unique<wb::WindowsClock>();
    b->paths = std::make_unique<wb::WindowsSystemPaths>();
    b->registry = std::make_unique<wb::WindowsUserRegistry>();
    b->power = std::make_unique<wb::WindowsPowerStatus>();
    b->locale = std::make_unique<wb::WindowsLocaleInfo>();
    b->wakeTimers = std::make_unique<wb::WindowsWakeTimerFactory>();
    b->keepAwake = std::make_unique<wb::WindowsKeepAwake>();
    b->resumeMonitor = std::make_unique<wb::WindowsResumeMonitor>();
    b->instance = std::make_unique<wb::WindowsSingleInstance>();
    b->memoryTrim = std::make_unique<wb::WindowsMemoryTrim>();
    b->sessionPower = std::make_unique<wb::WindowsSessionPower>();
    b->launcher = std::make_unique<wb::WindowsProgramLauncher>();
    b->processes = std::make_unique<wb::WindowsProcessControl>();
    b->sound = std::make_unique<wb::WindowsAlertSound>();
    b->globalHotkeys = std::make_unique<wb::WindowsGlobalHotkeys>();
    b->syntheticInput = std::make_unique<wb::WindowsSyntheticInput>();
    b->macroHooks = std::make_unique<wb::WindowsMacroHookPlatform>();
    b->resumePassword = std::make_unique<wb::WindowsResumePasswordSetting>();
    b->trayHosts = std::make_unique<wb::WindowsTrayHostWatch>();
    b->notifications = std::make_unique<wb::WindowsDesktopNotifications>();
    b->runHistory = std::make_unique<wb::WindowsRunHistory>(log);
    b->runningProgram = std::make_unique<wb::WindowsRunningProgram>();
    b->playbackThreadTuning = wb::TunePlaybackThread;
    b->playbackSleepMargin = wb::kTunedThreadSleepMargin;
    // A windowed program is asked to end through its windows, which take the ordinary Exit road.
    b->watchTermination = [](std::function<void()>) { return std::shared_ptr<void>(); };
    return b;
}

std::unique_ptr<CommandLineBackends> MakeCommandLineBackends(platform::Log& log) {
    namespace wb = platform::windows_backend;
    auto b = std::make_unique<CommandLineBackends>();
    b->clock = std::make_unique<wb::WindowsClock>();
    b->paths = std::make_unique<wb::WindowsSystemPaths>();
    b->sessionPower = std::make_unique<wb::WindowsSessionPower>();
    b->launcher = std::make_unique<wb::WindowsProgramLauncher>();
    b->processes = std::make_unique<wb::WindowsProcessControl>();
    b->sound = std::make_unique<wb::WindowsAlertSound>();
    b->runningProgram = std::make_unique<wb::WindowsRunningProgram>();
    b->runHistory = std::make_unique<wb::WindowsRunHistory>(log);
    return b;
}

// The command line plays no macros here: a task macro does not start, as one whose file cannot be read.
const bool kCommandLinePlaysMacros = false;

std::unique_ptr<MacroPlaybackBackends> MakeMacroPlaybackBackends(platform::Log&) {
    return nullptr;
}

} // namespace orvanta::app
