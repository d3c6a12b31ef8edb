#pragma once

#include "hotkeys/hotkey_registrar.h"
#include "macros/macro_player.h"

#include <atomic>
#include <string>

namespace orvanta::macros {

// Starts task macros: the function the app hands to the desktop actions as their macro starter.
class TaskMacroStarter {
  public:
    TaskMacroStarter(DoDo2& player, hotkeys::HotkeyRegistrar& registrar, std::atomic<bool>& stopRequested)
        : player_(player), registrar_(registrar), stopRequested_(stopRequested) {}

    // Clears the stop flag, takes Alt+F12 and plays the file on a new thread. Returns false, with Alt+F12
    // released again, when the file cannot be read; the dispatcher then ends its pass.
    bool StartTaskMacro(const std::string& path);

  private:
    DoDo2& player_;
    hotkeys::HotkeyRegistrar& registrar_;
    std::atomic<bool>& stopRequested_;
};

// Takes the stop combination for a playback; the players' ports release it with ReleaseMacroStopKey.
void TakeMacroStopKey(hotkeys::HotkeyRegistrar& registrar);
void ReleaseMacroStopKey(hotkeys::HotkeyRegistrar& registrar);

} // namespace orvanta::macros
