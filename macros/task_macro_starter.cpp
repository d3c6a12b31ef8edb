#include "macros/task_macro_starter.h"

#include "macros/macro_file_lines.h"

namespace orvanta::macros {

void MacroStopKey::Take() {
    const std::lock_guard lock(mutex_);
    if (holders_++ == 0)
        registrar_.RegisterTaskHotkey(hotkeys::kMacroStopHotkeyName, hotkeys::kMacroStopModifiers,
                                      hotkeys::kMacroStopKey);
}

void MacroStopKey::Release() {
    const std::lock_guard lock(mutex_);
    if (holders_ == 0) return;
    if (--holders_ == 0) registrar_.UnregisterTaskHotkey(hotkeys::kMacroStopHotkeyName);
}

bool TaskMacroStarter::StartTaskMacro(const std::string& path, std::string* why) {
    if (features_) {
        const platform::FeatureAnswer playback = features_->answer(platform::DesktopFeature::MacroPlayback);
        if (!playback.available) {
            if (refused_) refused_(path, playback.reason);
            if (why) *why = playback.reason;
            return false;
        }
    }
    stopRequested_.store(false);
    stopKey_.Take();
    if (!MacroFileAcceptable(path)) {
        stopKey_.Release();
        return false;
    }
    if (!awaitBegin_) {
        player_.Start(std::make_unique<MacroFileLines>(path));
        return true;
    }
    auto begin = std::make_shared<PlaybackBegin>();
    player_.Start(std::make_unique<MacroFileLines>(path), begin);
    awaitBegin_([&begin] { return begin->state() != PlaybackBegin::State::kPending; });
    // Unanswered yet, the refusal can no longer stop what follows: from now on the playback tells it.
    if (!begin->HandOverIfPending()) return true;
    if (begin->state() != PlaybackBegin::State::kRefused) return true;
    const std::string refusal = begin->refusal();
    if (refused_) refused_(path, refusal);
    if (why) *why = refusal;
    return false;
}

} // namespace orvanta::macros
