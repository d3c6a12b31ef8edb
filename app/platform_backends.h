#pragma once

#include "platform/api/alert_sound.h"
#include "platform/api/clock.h"
#include "platform/api/global_hotkeys.h"
#include "platform/api/keep_awake.h"
#include "platform/api/locale_info.h"
#include "platform/api/macro_hook.h"
#include "platform/api/memory_trim.h"
#include "platform/api/power_status.h"
#include "platform/api/process_control.h"
#include "platform/api/program_launcher.h"
#include "platform/api/resume_monitor.h"
#include "platform/api/resume_password_setting.h"
#include "platform/api/session_power.h"
#include "platform/api/single_instance.h"
#include "platform/api/synthetic_input.h"
#include "platform/api/system_paths.h"
#include "platform/api/user_registry.h"
#include "platform/api/wake_timer.h"

#include <chrono>
#include <functional>
#include <memory>

namespace orvanta::app {

// One object of each system service the program uses, made together by MakePlatformBackends() and ended
// together with this object. Which system's objects they are is decided by the build, which compiles one
// implementation of the factory; whatever one backend needs of another is wired inside.
class PlatformBackends {
  public:
    virtual ~PlatformBackends() = default;

    virtual platform::Clock& clock() = 0;
    virtual platform::SystemPaths& paths() = 0;
    virtual platform::UserRegistry& registry() = 0;
    virtual platform::PowerStatus& power() = 0;
    virtual platform::LocaleInfo& locale() = 0;
    virtual platform::WakeTimerFactory& wakeTimers() = 0;
    virtual platform::KeepAwake& keepAwake() = 0;
    virtual platform::ResumeMonitor& resumeMonitor() = 0;
    virtual platform::SingleInstance& instance() = 0;
    virtual platform::MemoryTrim& memoryTrim() = 0;
    virtual platform::SessionPower& sessionPower() = 0;
    virtual platform::ProgramLauncher& launcher() = 0;
    virtual platform::ProcessControl& processes() = 0;
    virtual platform::AlertSound& sound() = 0;
    virtual platform::GlobalHotkeys& globalHotkeys() = 0;
    virtual platform::SyntheticInput& syntheticInput() = 0;
    virtual platform::MacroHookPlatform& macroHooks() = 0;
    // The desktop's password-on-resume switch, as the options page shows it.
    virtual platform::ResumePasswordSetting& resumePassword() = 0;

    // How a macro playback thread is made to wake on time, and how long before each moment it may stop
    // sleeping (see macros::SteadyMacroWaiter).
    virtual std::function<void()> playbackThreadTuning() const = 0;
    // onRequest runs, on some thread, when the system asks the program to end (a termination signal);
    // it must post the ending to the GUI thread. Called once, before the event loop runs.
    virtual void setOnTerminationRequest(std::function<void()> onRequest) = 0;
    virtual std::chrono::microseconds playbackSleepMargin() const = 0;
};

// This system's backends.
std::unique_ptr<PlatformBackends> MakePlatformBackends();

} // namespace orvanta::app
