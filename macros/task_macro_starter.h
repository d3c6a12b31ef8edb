#pragma once

#include "hotkeys/hotkey_registrar.h"
#include "macros/macro_player.h"

#include <atomic>
#include <mutex>
#include <string>

namespace orvanta::macros {

// Alt+F12, taken by every playback at its start and given back at its end. Playbacks overlap (a task
// macro while the recorder plays, two tasks at one second), so the combination stays registered until
// the last of them has ended.
class MacroStopKey {
  public:
    explicit MacroStopKey(hotkeys::HotkeyRegistrar& registrar) : registrar_(registrar) {}
    void Take();
    void Release();

  private:
    hotkeys::HotkeyRegistrar& registrar_;
    std::mutex mutex_;
    int holders_ = 0;
};

// Starts task macros: the function the app hands to the desktop actions as their macro starter.
class TaskMacroStarter {
  public:
    TaskMacroStarter(DoDo2& player, MacroStopKey& stopKey, std::atomic<bool>& stopRequested)
        : player_(player), stopKey_(stopKey), stopRequested_(stopRequested) {}

    // Clears the stop flag, takes Alt+F12 and plays the file on a new thread, which reads it. Returns
    // false, with Alt+F12 given back, when the path is no regular file or a larger one than a macro can
    // be (MacroFileAcceptable); the dispatcher then ends its pass. Nothing here opens the file, so a
    // named pipe or a slow disk cannot hold up the caller.
    bool StartTaskMacro(const std::string& path);

  private:
    DoDo2& player_;
    MacroStopKey& stopKey_;
    std::atomic<bool>& stopRequested_;
};

} // namespace orvanta::macros
