#include "macros/task_macro_starter.h"

#include "macros/macro_text.h"

namespace orvanta::macros {

void TakeMacroStopKey(hotkeys::HotkeyRegistrar& registrar) {
    registrar.RegisterTaskHotkey(hotkeys::kMacroStopHotkeyName, hotkeys::kMacroStopModifiers,
                                 hotkeys::kMacroStopKey);
}

void ReleaseMacroStopKey(hotkeys::HotkeyRegistrar& registrar) {
    registrar.UnregisterTaskHotkey(hotkeys::kMacroStopHotkeyName);
}

bool TaskMacroStarter::StartTaskMacro(const std::string& path) {
    stopRequested_.store(false);
    TakeMacroStopKey(registrar_);
    auto lines = ReadMacroFile(path);
    if (!lines) {
        ReleaseMacroStopKey(registrar_);
        return false;
    }
    player_.Start(std::move(*lines));
    return true;
}

} // namespace orvanta::macros
