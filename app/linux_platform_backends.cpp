// The Linux backends: X11, logind over the system bus, timerfd, /proc and the XDG folders.
#include "app/platform_backends.h"
#include "platform/linux/actions/linux_process_control.h"
#include "platform/linux/actions/linux_program_launcher.h"
#include "platform/linux/actions/linux_session_power.h"
#include "platform/linux/actions/x11_desktop.h"
#include "platform/linux/hotkeys/linux_global_hotkeys.h"
#include "platform/linux/input/playback_thread_timing.h"
#include "platform/linux/input/xtest_synthetic_input.h"
#include "platform/linux/linux_clock.h"
#include "platform/linux/linux_keep_awake.h"
#include "platform/linux/linux_locale_info.h"
#include "platform/linux/linux_memory_trim.h"
#include "platform/linux/linux_power_status.h"
#include "platform/linux/linux_resume_monitor.h"
#include "platform/linux/linux_single_instance.h"
#include "platform/linux/linux_system_paths.h"
#include "platform/linux/linux_user_registry.h"
#include "platform/linux/linux_wake_timer.h"
#include "platform/linux/macro_hook/linux_macro_hook.h"
#include "platform/linux/resume_lock/linux_resume_password_setting.h"
#include "platform/linux/termination_signals.h"
#include "platform/linux/wake_fire_record.h"
#include "platform/linux/x11_screen_saver.h"

namespace orvanta::app {

namespace {

namespace lx = platform::linux_backend;

// Members are made in the order they are declared and end in the reverse: the screen saver and the
// record of our own wake-ups before the objects that share them.
class LinuxPlatformBackends : public PlatformBackends {
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

    std::function<void()> playbackThreadTuning() const override { return lx::TunePlaybackThread; }
    std::chrono::microseconds playbackSleepMargin() const override { return lx::kTunedThreadSleepMargin; }
    void setOnTerminationRequest(std::function<void()> onRequest) override {
        terminationSignals_.reset();
        terminationSignals_ = std::make_unique<lx::TerminationSignals>(std::move(onRequest));
    }

  private:
    lx::LinuxClock clock_;
    lx::LinuxSystemPaths paths_;
    lx::LinuxUserRegistry registry_;
    lx::LinuxPowerStatus power_;
    lx::LinuxLocaleInfo locale_;
    lx::X11ScreenSaver screen_;
    // Our own wake-ups, which the resume monitor tells from the user's.
    std::shared_ptr<lx::WakeFireRecord> fireRecord_ = std::make_shared<lx::WakeFireRecord>();
    lx::LinuxWakeTimerFactory wakeTimers_{fireRecord_};
    lx::LinuxKeepAwake keepAwake_{screen_};
    lx::LinuxResumeMonitor resumeMonitor_{fireRecord_, screen_};
    lx::LinuxSingleInstance instance_;
    lx::LinuxMemoryTrim memoryTrim_;
    lx::LinuxSessionPower sessionPower_;
    lx::LinuxProgramLauncher launcher_;
    lx::LinuxProcessControl processes_;
    lx::X11AlertSound sound_;
    lx::LinuxGlobalHotkeys globalHotkeys_;
    lx::XTestSyntheticInput syntheticInput_;
    lx::LinuxMacroHookPlatform macroHooks_{paths_.executableFolder()};
    lx::LinuxResumePasswordSetting resumePassword_;
    // Last, so it ends first: no request comes in while the other backends end.
    std::unique_ptr<lx::TerminationSignals> terminationSignals_;
};

} // namespace

std::unique_ptr<PlatformBackends> MakePlatformBackends() {
    return std::make_unique<LinuxPlatformBackends>();
}

} // namespace orvanta::app
