#include "macros/macro_player.h"

#include "macros/macro_line.h"

namespace orvanta::macros {

namespace {

constexpr unsigned kVkControl = 17;
constexpr unsigned kVkV = 86;
// Sleeping ends this long before the moment; the rest is yielded away, which absorbs the scheduler's
// wake-up lateness.
constexpr auto kSleepMargin = std::chrono::milliseconds(2);

void Perform(const MacroEvent& event, const MacroPorts& ports) {
    auto& input = ports.input;
    switch (event.kind) {
    case MacroEvent::Kind::Paste:
        ports.clipboard.setClipboardText(event.text);
        input.keyDown(kVkControl);
        input.keyDown(kVkV);
        input.keyUp(kVkV);
        input.keyUp(kVkControl);
        break;
    case MacroEvent::Kind::KeyDown:
        input.keyDown(event.virtualKey);
        break;
    case MacroEvent::Kind::KeyUp:
        input.keyUp(event.virtualKey);
        break;
    case MacroEvent::Kind::Wheel:
        input.wheel(event.wheelDelta);
        break;
    case MacroEvent::Kind::Pointer:
        input.setCursorPos(event.x, event.y);
        switch (event.mouseFlag) {
        case kMouseMove:
            input.mouseMoveBy(0, 0);
            break;
        case kMouseLeftDown:
            input.buttonDown(platform::MouseButton::Left);
            break;
        case kMouseLeftUp:
            input.buttonUp(platform::MouseButton::Left);
            break;
        case kMouseRightDown:
            input.buttonDown(platform::MouseButton::Right);
            break;
        case kMouseRightUp:
            input.buttonUp(platform::MouseButton::Right);
            break;
        case kMouseMiddleDown:
            input.buttonDown(platform::MouseButton::Middle);
            break;
        case kMouseMiddleUp:
            input.buttonUp(platform::MouseButton::Middle);
            break;
        default:
            break;
        }
        break;
    default:
        break;
    }
}

} // namespace

void SteadyMacroWaiter::wait(std::chrono::milliseconds duration) {
    using Clock = std::chrono::steady_clock;
    const auto until = Clock::now() + duration;
    if (duration > kSleepMargin) std::this_thread::sleep_until(until - kSleepMargin);
    while (Clock::now() < until)
        std::this_thread::yield();
}

void PlayMacro(const std::vector<std::string>& lines, const MacroPorts& ports) {
    std::int64_t macroClock = 0;
    for (const auto& line : lines) {
        if (ports.stopRequested.load()) break;
        const MacroEvent event = ParseMacroLine(line);
        if (event.kind == MacroEvent::Kind::Skip) continue;
        if (event.kind == MacroEvent::Kind::BadTime) break;
        const std::int64_t delta = event.time - macroClock;
        if (delta > 0) ports.waiter.wait(std::chrono::milliseconds(delta));
        macroClock = event.time;
        if (event.kind == MacroEvent::Kind::BadArgument) break;
        Perform(event, ports);
    }
    if (ports.releaseStopKey) ports.releaseStopKey();
}

MacroPlayer::MacroPlayer(MacroPorts ports, std::function<void()> endStep)
    : ports_(std::move(ports)), endStep_(std::move(endStep)) {}

MacroPlayer::~MacroPlayer() {
    ports_.stopRequested.store(true);
    WaitAll();
}

void MacroPlayer::Start(std::vector<std::string> lines) {
    const std::lock_guard lock(mutex_);
    ReapFinished();
    auto& playback = playbacks_.emplace_back();
    playback.thread = std::thread([this, &playback, lines = std::move(lines)] {
        // Nothing may leave the thread: a failing port ends the playback like its last line.
        try {
            PlayMacro(lines, ports_);
        } catch (...) {
            try {
                if (ports_.releaseStopKey) ports_.releaseStopKey();
            } catch (...) {
            }
        }
        try {
            if (endStep_) endStep_();
        } catch (...) {
        }
        playback.done.store(true);
    });
}

void MacroPlayer::ReapFinished() {
    for (auto it = playbacks_.begin(); it != playbacks_.end();) {
        if (it->done.load()) {
            it->thread.join();
            it = playbacks_.erase(it);
        } else {
            ++it;
        }
    }
}

void MacroPlayer::WaitAll() {
    std::list<Playback> running;
    {
        const std::lock_guard lock(mutex_);
        running.splice(running.end(), playbacks_);
    }
    for (auto& playback : running)
        if (playback.thread.joinable()) playback.thread.join();
}

} // namespace orvanta::macros
