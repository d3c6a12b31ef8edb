#include "actions/desktop_actions.h"
#include "actions/reminder_messages.h"
#include "app/platform_backends.h"
#include "data/error.h"
#include "hotkeys/hotkey_registrar.h"
#include "macros/macro_player.h"
#include "macros/task_macro_starter.h"
#include "tools/orvantactl/orvantactl.h"
#include "tools/orvantactl/start_outcomes.h"

#include <atomic>
#include <iostream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

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
        os_->hotkeys->setOnPressed([this](int, unsigned modifiers, unsigned key) {
            if (modifiers == orvanta::hotkeys::kMacroStopModifiers && key == orvanta::hotkeys::kMacroStopKey)
                stop_ = true;
        });
    }
    ~CommandLinePlayer() { os_->hotkeys->setOnPressed({}); }

    bool Start(const std::string& path, std::string& why) {
        if (!os_->inputAvailable)
            throw orvanta::Error(
                "the macro " + path + " cannot be played: " +
                (os_->inputUnavailableReason.empty()
                     ? std::string("there is no X display ($DISPLAY is not set or cannot be opened)")
                     : os_->inputUnavailableReason));
        return starter_.StartTaskMacro(path, &why);
    }
    void WaitForTheEnd() { player_.WaitAll(); }

  private:
    orvanta::platform::StderrLog log_{"orvantactl"};
    const std::unique_ptr<orvanta::app::MacroPlaybackBackends> os_ =
        orvanta::app::MakeMacroPlaybackBackends(log_);
    NoClipboard clipboard_;
    macros::SteadyMacroWaiter waiter_{os_->threadTuning, os_->sleepMargin};
    std::atomic<bool> stop_{false};
    orvanta::hotkeys::HotkeyRegistrar registrar_{*os_->hotkeys};
    macros::MacroStopKey stopKey_{registrar_};
    // The desktop may still say no once the playback asks it; the user hears why where they ran us.
    macros::DoDo2 player_{
        {*os_->input, clipboard_, waiter_, stop_, [this] { stopKey_.Release(); }, std::chrono::seconds(2),
         [this](const std::string& why) { log_.warn("the macro was not played: " + why); }}};
    // On a desktop that asks the user before a macro may type, the command waits for the answer: a
    // refusal keeps the task's later actions from running. The desktop's own answer limit, or a stop,
    // ends the wait.
    macros::TaskMacroStarter starter_{
        player_,
        stopKey_,
        stop_,
        nullptr,
        {},
        os_->input->asksBeforePlayback()
            ? macros::TaskMacroStarter::AwaitBegin([](const std::function<bool()>& settled) {
                  while (!settled())
                      std::this_thread::sleep_for(std::chrono::milliseconds(10));
              })
            : macros::TaskMacroStarter::AwaitBegin()};
    const std::shared_ptr<void> signals_ = os_->watchTermination([this] { stop_ = true; });
};

} // namespace

int main(int argc, char** argv) {
    orvanta::platform::StderrLog log("orvantactl");
    const std::unique_ptr<orvanta::app::CommandLineBackends> os = orvanta::app::MakeCommandLineBackends(log);
    orvanta::ctl::StartOutcomes outcomes;
    orvanta::ctl::NotingSessionPower sessionPower(*os->sessionPower, outcomes);
    orvanta::ctl::NotingLauncher launcher(*os->launcher, outcomes);
    // Without a message window, a message is printed where the user ran the command.
    orvanta::actions::PrintingMessageWindow messages(std::cout);
    std::unique_ptr<CommandLinePlayer> player;
    orvanta::actions::DesktopActions::Options options;
    if (orvanta::app::kCommandLinePlaysMacros) {
        options.startMacro = [&](const std::string& path, std::string& why) {
            if (!player) player = std::make_unique<CommandLinePlayer>();
            return player->Start(path, why);
        };
    }
    orvanta::actions::DesktopActions actions(
        {sessionPower, launcher, *os->processes, *os->sound, messages, *os->clock, *os->paths}, options);
    const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    const orvanta::ctl::DoctorPorts doctor{os->probeDesktop, os->autostartProgram, os->runHistory.get()};
    int status = orvanta::ctl::RunOrvantactl(args, std::cout, std::cerr, *os->clock, *os->paths, actions,
                                             doctor, os->runningProgram.get());
    if (player) player->WaitForTheEnd();
    for (const std::string& failure : outcomes.failures())
        std::cerr << "orvantactl: " << failure << '\n';
    if (status == 0 && !outcomes.failures().empty()) status = 1;
    return status;
}
