// The Linux backends: X11, logind over the system bus, timerfd, /proc and the XDG folders.
#include "app/platform_backends.h"
#include "platform/api/program_files.h"
#include "platform/linux/actions/linux_process_control.h"
#include "platform/linux/actions/linux_program_launcher.h"
#include "platform/linux/actions/linux_session_power.h"
#include "platform/linux/actions/x11_desktop.h"
#include "platform/linux/desktop_probe.h"
#include "platform/linux/hotkeys/linux_global_hotkeys.h"
#include "platform/linux/input/playback_thread_timing.h"
#include "platform/linux/input/xtest_synthetic_input.h"
#include "platform/linux/journal_run_history.h"
#include "platform/linux/linux_clock.h"
#include "platform/linux/linux_desktop_notifications.h"
#include "platform/linux/linux_keep_awake.h"
#include "platform/linux/linux_locale_info.h"
#include "platform/linux/linux_memory_trim.h"
#include "platform/linux/linux_power_status.h"
#include "platform/linux/linux_resume_monitor.h"
#include "platform/linux/linux_single_instance.h"
#include "platform/linux/linux_system_paths.h"
#include "platform/linux/linux_tray_host_watch.h"
#include "platform/linux/linux_user_registry.h"
#include "platform/linux/linux_wake_timer.h"
#include "platform/linux/macro_hook/linux_macro_hook.h"
#include "platform/linux/resume_lock/linux_resume_password_setting.h"
#include "platform/linux/secure_start.h"
#include "platform/linux/termination_signals.h"
#include "platform/linux/wake_fire_record.h"
#include "platform/linux/x11_screen_saver.h"

namespace orvanta::app {

namespace {

namespace lx = platform::linux_backend;

std::shared_ptr<void> WatchTermination(std::function<void()> onRequest) {
    return std::make_shared<lx::TerminationSignals>(std::move(onRequest));
}

struct Shared {
    lx::X11ScreenSaver screen;
    // Our own wake-ups, which the resume monitor tells from the user's.
    std::shared_ptr<lx::WakeFireRecord> fireRecord = std::make_shared<lx::WakeFireRecord>();
};

} // namespace

std::unique_ptr<PlatformBackends> MakePlatformBackends(platform::Log& log) {
    // Before anything reads the environment or starts a program.
    lx::RestoreUserEnvironment();
    auto shared = std::make_shared<Shared>();
    auto b = std::make_unique<PlatformBackends>();
    b->shared = shared;
    b->clock = std::make_unique<lx::LinuxClock>();
    b->paths = std::make_unique<lx::LinuxSystemPaths>();
    b->registry = std::make_unique<lx::LinuxUserRegistry>();
    b->power = std::make_unique<lx::LinuxPowerStatus>();
    b->locale = std::make_unique<lx::LinuxLocaleInfo>();
    b->wakeTimers = std::make_unique<lx::LinuxWakeTimerFactory>(log, shared->fireRecord);
    b->keepAwake = std::make_unique<lx::LinuxKeepAwake>(shared->screen);
    b->resumeMonitor = std::make_unique<lx::LinuxResumeMonitor>(log, shared->fireRecord, shared->screen);
    b->instance = std::make_unique<lx::LinuxSingleInstance>();
    b->memoryTrim = std::make_unique<lx::LinuxMemoryTrim>();
    b->sessionPower = std::make_unique<lx::LinuxSessionPower>(log);
    b->launcher = std::make_unique<lx::LinuxProgramLauncher>();
    b->processes = std::make_unique<lx::LinuxProcessControl>();
    b->sound = std::make_unique<lx::X11AlertSound>();
    b->globalHotkeys = std::make_unique<lx::LinuxGlobalHotkeys>(log);
    b->syntheticInput = std::make_unique<lx::XTestSyntheticInput>();
    b->macroHooks = std::make_unique<lx::LinuxMacroHookPlatform>(
        platform::ProgramFiles(*b->paths).privateFolderOf(lx::kHookLibraryFileName));
    b->resumePassword = std::make_unique<lx::LinuxResumePasswordSetting>();
    b->trayHosts = std::make_unique<lx::LinuxTrayHostWatch>();
    b->notifications = std::make_unique<lx::LinuxDesktopNotifications>();
    b->runHistory = std::make_unique<lx::JournalRunHistory>(log);
    b->playbackThreadTuning = lx::TunePlaybackThread;
    b->playbackSleepMargin = lx::kTunedThreadSleepMargin;
    b->watchTermination = WatchTermination;
    return b;
}

std::unique_ptr<CommandLineBackends> MakeCommandLineBackends(platform::Log& log) {
    auto b = std::make_unique<CommandLineBackends>();
    b->clock = std::make_unique<lx::LinuxClock>();
    b->paths = std::make_unique<lx::LinuxSystemPaths>();
    b->sessionPower = std::make_unique<lx::LinuxSessionPower>(log);
    b->launcher = std::make_unique<lx::LinuxProgramLauncher>();
    b->processes = std::make_unique<lx::LinuxProcessControl>();
    b->sound = std::make_unique<lx::X11AlertSound>();
    b->runHistory = std::make_unique<lx::JournalRunHistory>(log);
    b->probeDesktop = [folder = b->paths->executableFolder()] {
        return lx::ProbeDesktop({lx::FindOrvantaProgram(folder)});
    };
    b->autostartProgram = [] { return lx::LinuxUserRegistry().readString(platform::kRunKeyPath, "Orvanta"); };
    return b;
}

const bool kCommandLinePlaysMacros = true;

std::unique_ptr<MacroPlaybackBackends> MakeMacroPlaybackBackends(platform::Log& log) {
    auto b = std::make_unique<MacroPlaybackBackends>();
    auto input = std::make_unique<lx::XTestSyntheticInput>();
    b->inputAvailable = input->available();
    b->input = std::move(input);
    b->hotkeys = std::make_unique<lx::LinuxGlobalHotkeys>(log);
    b->threadTuning = lx::TunePlaybackThread;
    b->sleepMargin = lx::kTunedThreadSleepMargin;
    b->watchTermination = WatchTermination;
    return b;
}

} // namespace orvanta::app
