#include "actions/desktop_actions.h"
#include "actions/reminder_messages.h"
#include "data/error.h"
#include "hotkeys/hotkey_registrar.h"
#include "macros/macro_player.h"
#include "macros/task_macro_starter.h"
#include "platform/linux/actions/linux_process_control.h"
#include "platform/linux/actions/linux_program_launcher.h"
#include "platform/linux/actions/linux_session_power.h"
#include "platform/linux/actions/x11_desktop.h"
#include "platform/linux/hotkeys/linux_global_hotkeys.h"
#include "platform/linux/input/playback_thread_timing.h"
#include "platform/linux/input/xtest_synthetic_input.h"
#include "platform/linux/linux_clock.h"
#include "platform/linux/linux_system_paths.h"
#include "platform/linux/termination_signals.h"
#include "tools/orvantactl/orvantactl.h"
#include "tools/orvantactl/start_outcomes.h"

#include <atomic>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

namespace {

namespace lb = orvanta::platform::linux_backend;
namespace macros = orvanta::macros;

// Without the program there is no clipboard owner to paste from: an INPUT line types nothing.
class NoClipboard : public macros::ClipboardPort {
  public:
    void setClipboardText(const std::string&) override {}
    bool setClipboardTextUnlessStopped(const std::string&, const std::atomic<bool>&) override {
        if (!told_.exchange(true))
            std::cerr
                << "orvantactl: the macro's INPUT lines paste nothing without the program's clipboard\n";
        return false;
    }

  private:
    std::atomic<bool> told_{false};
};

// The macro player of a run, made only when a task plays a macro: synthetic input on the X display,
// Alt+F12 and Ctrl+C to stop, and a wait for the playback before the command ends.
class CommandLinePlayer {
  public:
    CommandLinePlayer() {
        hotkeys_.setOnPressed([this](int, unsigned modifiers, unsigned key) {
            if (modifiers == orvanta::hotkeys::kMacroStopModifiers && key == orvanta::hotkeys::kMacroStopKey)
                stop_ = true;
        });
    }
    ~CommandLinePlayer() { hotkeys_.setOnPressed({}); }

    bool Start(const std::string& path) {
        if (!input_.available())
            throw orvanta::Error(
                "the macro " + path +
                " cannot be played: there is no X display ($DISPLAY is not set or cannot be opened)");
        return starter_.StartTaskMacro(path);
    }
    void WaitForTheEnd() { player_.WaitAll(); }

  private:
    lb::XTestSyntheticInput input_;
    NoClipboard clipboard_;
    macros::SteadyMacroWaiter waiter_{lb::TunePlaybackThread, lb::kTunedThreadSleepMargin};
    std::atomic<bool> stop_{false};
    lb::LinuxGlobalHotkeys hotkeys_;
    orvanta::hotkeys::HotkeyRegistrar registrar_{hotkeys_};
    macros::MacroStopKey stopKey_{registrar_};
    macros::DoDo2 player_{
        {input_, clipboard_, waiter_, stop_, [this] { stopKey_.Release(); }, std::chrono::seconds(2)}};
    macros::TaskMacroStarter starter_{player_, stopKey_, stop_};
    lb::TerminationSignals signals_{[this] { stop_ = true; }};
};

} // namespace

int main(int argc, char** argv) {
    const lb::LinuxClock clock;
    const lb::LinuxSystemPaths paths;
    orvanta::ctl::StartOutcomes outcomes;
    lb::LinuxSessionPower systemSessionPower;
    orvanta::ctl::NotingSessionPower sessionPower(systemSessionPower, outcomes);
    lb::LinuxProgramLauncher systemLauncher;
    orvanta::ctl::NotingLauncher launcher(systemLauncher, outcomes);
    lb::LinuxProcessControl processes;
    lb::X11AlertSound sound;
    // Without a message window, a message is printed where the user ran the command.
    orvanta::actions::PrintingMessageWindow messages(std::cout);
    std::unique_ptr<CommandLinePlayer> player;
    orvanta::actions::DesktopActions::Options options;
    options.startMacro = [&](const std::string& path) {
        if (!player) player = std::make_unique<CommandLinePlayer>();
        return player->Start(path);
    };
    orvanta::actions::DesktopActions actions(
        {sessionPower, launcher, processes, sound, messages, clock, paths}, options);
    const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    int status = orvanta::ctl::RunOrvantactl(args, std::cout, std::cerr, clock, paths, actions);
    if (player) player->WaitForTheEnd();
    for (const std::string& failure : outcomes.failures())
        std::cerr << "orvantactl: " << failure << '\n';
    if (status == 0 && !outcomes.failures().empty()) status = 1;
    return status;
}
