// The Win32 backends.
#include "app/platform_backends.h"
#include "platform/windows/playback_thread_timing.h"
#include "platform/windows/windows_alert_sound.h"
#include "platform/windows/windows_clock.h"
#include "platform/windows/windows_global_hotkeys.h"
#include "platform/windows/windows_keep_awake.h"
#include "platform/windows/windows_locale_info.h"
#include "platform/windows/windows_memory_trim.h"
#include "platform/windows/windows_power_status.h"
#include "platform/windows/windows_process_control.h"
#include "platform/windows/windows_program_launcher.h"
#include "platform/windows/windows_resume_monitor.h"
#include "platform/windows/windows_session_power.h"
#include "platform/windows/windows_synthetic_input.h"
#include "platform/windows/windows_system_paths.h"
#include "platform/windows/windows_user_registry.h"
#include "platform/windows/windows_macro_hook.h"
#include "platform/windows/windows_resume_password_setting.h"
#include "platform/windows/windows_single_instance.h"
#include "platform/windows/windows_wake_timer.h"

namespace orvanta::app {

namespace {

namespace wb = platform::windows_backend;

// The objects stand alone: the system itself tells our wake-ups from the user's, so nothing is shared.
class WindowsPlatformBackends : public PlatformBackends {
  public:
    platform::Clock& clock() override { return clock_; }
    platform::SystemPaths& paths() override { return paths_; }
    platform::UserRegistry& registry() override { return registry_; }
    platform::PowerStatus& power() override { return power_; }
    platform::LocaleInfo& locale() override { return locale_; }
    platform::WakeTimerFactory& wakeTimers() override { return wakeTimers_; }
    platform::KeepAwake& keepAwake() override { return keepAwake_; }
    platform::ResumeMonitor& resumeMonitor() override { return resumeMonitor_; }
    platform::SingleInstance& instance() override { return instance_; }
    platform::MemoryTrim& memoryTrim() override { return memoryTrim_; }
    platform::SessionPower& sessionPower() override { return sessionPower_; }
    platform::ProgramLauncher& launcher() override { return launcher_; }
    platform::ProcessControl& processes() override { return processes_; }
    platform::AlertSound& sound() override { return sound_; }
    platform::GlobalHotkeys& globalHotkeys() override { return globalHotkeys_; }
    platform::SyntheticInput& syntheticInput() override { return syntheticInput_; }
    platform::MacroHookPlatform& macroHooks() override { return macroHooks_; }
    platform::ResumePasswordSetting& resumePassword() override { return resumePassword_; }

    std::function<void()> playbackThreadTuning() const override { return wb::TunePlaybackThread; }
    std::chrono::microseconds playbackSleepMargin() const override { return wb::kTunedThreadSleepMargin; }
    // A windowed program is asked to end through its windows, which take the ordinary Exit road.
    void setOnTerminationRequest(std::function<void()>) override {}

  private:
    wb::WindowsClock clock_;
    wb::WindowsSystemPaths paths_;
    wb::WindowsUserRegistry registry_;
    wb::WindowsPowerStatus power_;
    wb::WindowsLocaleInfo locale_;
    wb::WindowsWakeTimerFactory wakeTimers_;
    wb::WindowsKeepAwake keepAwake_;
    wb::WindowsResumeMonitor resumeMonitor_;
    wb::WindowsSingleInstance instance_;
    wb::WindowsMemoryTrim memoryTrim_;
    wb::WindowsSessionPower sessionPower_;
    wb::WindowsProgramLauncher launcher_;
    wb::WindowsProcessControl processes_;
    wb::WindowsAlertSound sound_;
    wb::WindowsGlobalHotkeys globalHotkeys_;
    wb::WindowsSyntheticInput syntheticInput_;
    wb::WindowsMacroHookPlatform macroHooks_;
    wb::WindowsResumePasswordSetting resumePassword_;
};

} // namespace

std::unique_ptr<PlatformBackends> MakePlatformBackends() {
    return std::make_unique<WindowsPlatformBackends>();
}

} // namespace orvanta::app
