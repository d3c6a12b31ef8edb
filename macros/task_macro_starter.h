#pragma once

#include "hotkeys/hotkey_registrar.h"
#include "macros/macro_player.h"
#include "platform/api/desktop_features.h"

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
    // Told why a macro was not played where the desktop lets no program play one.
    using Refused = std::function<void(const std::string& path, const std::string& reason)>;

    // Waits until settled() answers true, or as long as the caller will. Given where the desktop may ask
    // the user before a playback begins: the start then waits for that answer, so that a refusal keeps
    // the task's later actions from running, as for a macro that cannot be played. A wait that ends
    // before the answer counts as a begun playback, whose refusal, if it comes, goes to the refused port
    // of the player alone.
    using AwaitBegin = std::function<void(const std::function<bool()>& settled)>;

    TaskMacroStarter(DoDo2& player, MacroStopKey& stopKey, std::atomic<bool>& stopRequested,
                     const platform::DesktopFeatures* features = nullptr, Refused refused = {},
                     AwaitBegin awaitBegin = {})
        : player_(player), stopKey_(stopKey), stopRequested_(stopRequested), features_(features),
          refused_(std::move(refused)), awaitBegin_(std::move(awaitBegin)) {}

    // Clears the stop flag, takes Alt+F12 and plays the file on a new thread, which reads it. Returns
    // false, with Alt+F12 given back, when the path is no regular file or a larger one than a macro can
    // be (MacroFileAcceptable), or when this desktop lets no macro play; the dispatcher then ends its pass.
    // Nothing here opens the file, so a named pipe or a slow disk cannot hold up the caller. Where the
    // desktop refused, why says so; it is left alone for a file that will not do.
    bool StartTaskMacro(const std::string& path, std::string* why = nullptr);

  private:
    DoDo2& player_;
    MacroStopKey& stopKey_;
    std::atomic<bool>& stopRequested_;
    const platform::DesktopFeatures* features_;
    Refused refused_;
    AwaitBegin awaitBegin_;
};

} // namespace orvanta::macros
