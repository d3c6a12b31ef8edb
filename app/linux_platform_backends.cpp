// The Linux backends: X11, logind over the system bus, timerfd, /proc and the XDG folders.
#include "app/platform_backends.h"
#include "platform/api/ini_files.h"
#include "platform/api/program_files.h"
#include "platform/linux/actions/linux_process_control.h"
#include "platform/linux/actions/linux_program_launcher.h"
#include "platform/linux/actions/linux_session_power.h"
#include "platform/linux/actions/x11_desktop.h"
#include "platform/linux/desktop_probe.h"
#include "platform/linux/hotkeys/linux_global_hotkeys.h"
#include "platform/linux/hotkeys/portal_global_hotkeys.h"
#include "platform/linux/input/playback_thread_timing.h"
#include "platform/linux/input/portal_synthetic_input.h"
#include "platform/linux/input/unavailable_input.h"
#include "platform/linux/input/xtest_synthetic_input.h"
#include "platform/linux/journal_run_history.h"
#include "platform/linux/linux_clock.h"
#include "platform/linux/linux_desktop_features.h"
#include "platform/linux/linux_desktop_notifications.h"
#include "platform/linux/linux_keep_awake.h"
#include "platform/linux/linux_locale_info.h"
#include "platform/linux/linux_memory_trim.h"
#include "platform/linux/linux_power_status.h"
#include "platform/linux/linux_resume_monitor.h"
#include "platform/linux/linux_running_program.h"
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

#include <orvanta_app_id.h>

namespace orvanta::app {

namespace {

namespace lx = platform::linux_backend;

std::shared_ptr<void> WatchTermination(std::function<void()> onRequest) {
    return std::make_shared<lx::TerminationSignals>(std::move(onRequest));
}

// Only an X11 session gets the X backends: under Wayland the X display is XWayland, whose grabs and
// synthetic input reach its own windows alone, which would look like working and not work. There the
// hotkeys are the desktop portal's shortcuts, where it offers them.
std::unique_ptr<platform::GlobalHotkeys> MakeGlobalHotkeys(const lx::LinuxDesktopFeatures& features,
                                                           platform::Log& log) {
    if (features.kind() == platform::SessionKind::X11) return std::make_unique<lx::LinuxGlobalHotkeys>(log);
    if (features.kind() == platform::SessionKind::Wayland && features.facts().globalShortcutsPortal > 0) {
        lx::PortalHotkeyOptions options;
        options.appId = ORVANTA_APP_ID;
        options.registerAppId = features.facts().portalRegistry;
        return std::make_unique<lx::PortalGlobalHotkeys>(log, std::move(options));
    }
    return std::make_unique<lx::UnavailableGlobalHotkeys>();
}

// The desktop's token for the user's remembered answer, so a restart does not ask again. It has a file
// of its own: the playback thread writes it, and sharing the registry file with the window's writes
// could lose one of them.
std::string RestoreTokenFile() {
    const lx::LinuxUserRegistry registry;
    const std::string folder = registry.registryFolder();
    return folder.empty() ? std::string() : folder + "/remote-desktop-token";
}

std::unique_ptr<platform::SyntheticInput> MakePortalInput(const lx::LinuxDesktopFeatures& features) {
    lx::PortalInputOptions options;
    options.portalVersion = features.facts().remoteDesktopPortal;
    options.loadRestoreToken = [] {
        const std::string file = RestoreTokenFile();
        return file.empty() ? std::string()
                            : platform::ini_files::ReadWholeFile(file).value_or(std::string());
    };
    options.saveRestoreToken = [](const std::string& token) {
        // Replaced in one step, so a crash never leaves half a token.
        const std::string file = RestoreTokenFile();
        if (!file.empty() && lx::LinuxSystemPaths().ensureFolder(lx::LinuxUserRegistry().registryFolder()))
            (void)platform::ini_files::ReplaceWholeFile(file, token);
    };
    return std::make_unique<lx::PortalSyntheticInput>(std::move(options));
}

// On Wayland the keys and the pointer go through the RemoteDesktop portal where the desktop offers it;
// the desktop's question comes once a playback begins, on the playback's thread.
std::unique_ptr<platform::SyntheticInput> MakeSyntheticInput(const lx::LinuxDesktopFeatures& features) {
    if (features.kind() == platform::SessionKind::X11) return std::make_unique<lx::XTestSyntheticInput>();
    if (features.answer(platform::DesktopFeature::MacroPlayback).available) return MakePortalInput(features);
    return std::make_unique<lx::UnavailableSyntheticInput>();
}

// XWayland counts only the input its own windows get: the user may have typed for an hour elsewhere.
class UnknownIdleTime : public lx::UserIdleTime {
  public:
    std::optional<std::chrono::milliseconds> userIdleTime() override { return std::nullopt; }
};

struct Shared {
    lx::X11ScreenSaver screen;
    UnknownIdleTime unknownIdle;
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
    auto features = std::make_unique<lx::LinuxDesktopFeatures>(lx::ProbeSession());
    b->clock = std::make_unique<lx::LinuxClock>();
    b->paths = std::make_unique<lx::LinuxSystemPaths>();
    b->registry = std::make_unique<lx::LinuxUserRegistry>();
    b->power = std::make_unique<lx::LinuxPowerStatus>();
    b->locale = std::make_unique<lx::LinuxLocaleInfo>();
    b->wakeTimers = std::make_unique<lx::LinuxWakeTimerFactory>(log, shared->fireRecord);
    b->keepAwake = std::make_unique<lx::LinuxKeepAwake>(shared->screen);
    lx::UserIdleTime& idle = features->answer(platform::DesktopFeature::IdleTime).available
                                 ? static_cast<lx::UserIdleTime&>(shared->screen)
                                 : shared->unknownIdle;
    b->resumeMonitor = std::make_unique<lx::LinuxResumeMonitor>(log, shared->fireRecord, idle);
    b->instance = std::make_unique<lx::LinuxSingleInstance>();
    b->memoryTrim = std::make_unique<lx::LinuxMemoryTrim>();
    b->sessionPower = std::make_unique<lx::LinuxSessionPower>(log);
    b->launcher = std::make_unique<lx::LinuxProgramLauncher>();
    b->processes = std::make_unique<lx::LinuxProcessControl>();
    b->sound = std::make_unique<lx::X11AlertSound>();
    b->globalHotkeys = MakeGlobalHotkeys(*features, log);
    b->syntheticInput = MakeSyntheticInput(*features);
    b->macroHooks = std::make_unique<lx::LinuxMacroHookPlatform>(
        platform::ProgramFiles(*b->paths).privateFolderOf(lx::kHookLibraryFileName));
    b->resumePassword = std::make_unique<lx::LinuxResumePasswordSetting>();
    b->trayHosts =
        std::make_unique<lx::LinuxTrayHostWatch>(features->kind() != platform::SessionKind::Wayland);
    b->notifications = std::make_unique<lx::LinuxDesktopNotifications>();
    b->runHistory = std::make_unique<lx::JournalRunHistory>(log);
    b->runningProgram = std::make_unique<lx::LinuxRunningProgram>(ORVANTA_APP_ID);
    b->playbackThreadTuning = lx::TunePlaybackThread;
    b->playbackSleepMargin = lx::kTunedThreadSleepMargin;
    b->watchTermination = WatchTermination;
    b->features = std::move(features);
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
    b->runningProgram = std::make_unique<lx::LinuxRunningProgram>(ORVANTA_APP_ID);
    return b;
}

const bool kCommandLinePlaysMacros = true;

std::unique_ptr<MacroPlaybackBackends> MakeMacroPlaybackBackends(platform::Log& log) {
    auto b = std::make_unique<MacroPlaybackBackends>();
    const lx::LinuxDesktopFeatures features(lx::ProbeSession());
    const platform::FeatureAnswer playback = features.answer(platform::DesktopFeature::MacroPlayback);
    b->hotkeys = MakeGlobalHotkeys(features, log);
    if (features.kind() == platform::SessionKind::X11) {
        auto input = std::make_unique<lx::XTestSyntheticInput>();
        b->inputAvailable = input->available();
        b->input = std::move(input);
    } else {
        b->inputAvailable = playback.available;
        b->input = MakeSyntheticInput(features);
    }
    if (!b->inputAvailable) b->inputUnavailableReason = playback.reason;
    b->threadTuning = lx::TunePlaybackThread;
    b->sleepMargin = lx::kTunedThreadSleepMargin;
    b->watchTermination = WatchTermination;
    return b;
}

} // namespace orvanta::app
