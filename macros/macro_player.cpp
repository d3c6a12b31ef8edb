#include "macros/macro_player.h"

#include "macros/macro_line.h"

#include <algorithm>

namespace orvanta::macros {

namespace {

constexpr unsigned kVkControl = 17;
constexpr unsigned kVkV = 86;
// Keys and buttons a playback pressed and has not released yet, so an early end does not leave them
// held for whatever has the focus.
struct HeldInput {
    std::vector<unsigned> keys;
    std::vector<platform::MouseButton> buttons;

    template <typename T> static void Note(std::vector<T>& held, T what, bool down) {
        std::erase(held, what);
        if (down) held.push_back(what);
    }
    void ReleaseAll(platform::SyntheticInput& input) {
        for (auto it = buttons.rbegin(); it != buttons.rend(); ++it)
            input.buttonUp(*it);
        for (auto it = keys.rbegin(); it != keys.rend(); ++it)
            input.keyUp(*it);
        buttons.clear();
        keys.clear();
    }
};

void NoteHeld(const MacroEvent& event, HeldInput& held) {
    using Kind = MacroEvent::Kind;
    using platform::MouseButton;
    if (event.kind == Kind::KeyDown || event.kind == Kind::KeyUp)
        HeldInput::Note(held.keys, event.virtualKey, event.kind == Kind::KeyDown);
    if (event.kind != Kind::Pointer) return;
    switch (event.mouseFlag) {
    case kMouseLeftDown:
    case kMouseLeftUp:
        HeldInput::Note(held.buttons, MouseButton::Left, event.mouseFlag == kMouseLeftDown);
        break;
    case kMouseRightDown:
    case kMouseRightUp:
        HeldInput::Note(held.buttons, MouseButton::Right, event.mouseFlag == kMouseRightDown);
        break;
    case kMouseMiddleDown:
    case kMouseMiddleUp:
        HeldInput::Note(held.buttons, MouseButton::Middle, event.mouseFlag == kMouseMiddleDown);
        break;
    default:
        break;
    }
}

void Perform(const MacroEvent& event, const MacroPorts& ports) {
    auto& input = ports.input;
    switch (event.kind) {
    case MacroEvent::Kind::Paste:
        if (!ports.clipboard.setClipboardTextUnlessStopped(event.text, ports.stopRequested)) break;
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
    waitUntil(Clock::now() + duration, duration);
}

void SteadyMacroWaiter::beginPlayback() {
    if (tuneThread_) tuneThread_();
}

void SteadyMacroWaiter::waitUntil(Clock::time_point moment, std::chrono::milliseconds spacing) {
    const std::atomic<bool> never{false};
    waitUntilOrStop(moment, spacing, never);
}

void SteadyMacroWaiter::waitUntilOrStop(Clock::time_point moment, std::chrono::milliseconds,
                                        const std::atomic<bool>& stop) {
    // Sleeps in short slices so a stop is seen within one of them, however long the pause.
    constexpr auto kSlice = std::chrono::milliseconds(5);
    const Clock::time_point sleepEnd = moment - sleepMargin_;
    for (auto now = Clock::now(); now < sleepEnd && !stop.load(); now = Clock::now())
        std::this_thread::sleep_until(std::min(sleepEnd, now + kSlice));
    // Busy for the last fraction of a millisecond only: yielding here would hand the processor to any
    // other runnable task for a whole time slice on a busy machine.
    while (Clock::now() < moment && !stop.load()) {
    }
}

namespace {

void WaitForReleasedKeys(const MacroPorts& ports) {
    if (ports.waitForReleasedKeys <= std::chrono::milliseconds(0)) return;
    const auto end = MacroWaiter::Clock::now() + ports.waitForReleasedKeys;
    while (!ports.stopRequested.load() && ports.input.anyKeyHeld() && MacroWaiter::Clock::now() < end)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
}

} // namespace

PlaybackBegin::State PlaybackBegin::state() const {
    const std::lock_guard lock(mutex_);
    return state_;
}

std::string PlaybackBegin::refusal() const {
    const std::lock_guard lock(mutex_);
    return refusal_;
}

bool PlaybackBegin::Settle(State state, const std::string& refusal) {
    const std::lock_guard lock(mutex_);
    if (state_ != State::kPending) return !handedOver_;
    state_ = state;
    refusal_ = refusal;
    return !handedOver_;
}

bool PlaybackBegin::HandOverIfPending() {
    const std::lock_guard lock(mutex_);
    if (state_ != State::kPending) return true;
    handedOver_ = true;
    return false;
}

void PlayMacro(const std::vector<std::string>& lines, const MacroPorts& ports) {
    VectorLineSource source(lines);
    PlayMacro(source, ports);
}

void PlayMacro(MacroLineSource& lines, const MacroPorts& ports, PlaybackBegin* begin) {
    std::int64_t macroClock = 0;
    // The moment of the last line played; lines earlier than the one before play at once and count on
    // from here.
    auto moment = MacroWaiter::Clock::now();
    HeldInput held;
    ports.waiter.beginPlayback();
    const std::string refusal = ports.input.beginPlayback(ports.stopRequested);
    if (!refusal.empty()) {
        // A stop during the desktop's question is the user's doing, not the desktop's refusal: the
        // macro counts as begun and stopped.
        if (ports.stopRequested.load()) {
            if (begin) begin->Settle(PlaybackBegin::State::kBegan);
        } else if (!(begin && begin->Settle(PlaybackBegin::State::kRefused, refusal)) && ports.refused) {
            ports.refused(refusal);
        }
        if (ports.releaseStopKey) ports.releaseStopKey();
        return;
    }
    if (begin) begin->Settle(PlaybackBegin::State::kBegan);
    // Ends the input's session even where a port throws, after the held input was let go.
    struct EndPlayback {
        platform::SyntheticInput& input;
        ~EndPlayback() { input.endPlayback(); }
    } endPlayback{ports.input};
    // The lines count from here: the desktop's question may have taken the user a while.
    moment = MacroWaiter::Clock::now();
    WaitForReleasedKeys(ports);
    std::string line;
    while (!ports.stopRequested.load() && lines.next(line)) {
        const MacroEvent event = ParseMacroLine(line);
        if (event.kind == MacroEvent::Kind::Skip) continue;
        if (event.kind == MacroEvent::Kind::BadTime) break;
        const std::int64_t delta = event.time - macroClock;
        if (delta > 0) {
            moment += std::chrono::milliseconds(delta);
            ports.waiter.waitUntilOrStop(moment, std::chrono::milliseconds(delta), ports.stopRequested);
            if (ports.stopRequested.load()) break;
        }
        macroClock = event.time;
        if (event.kind == MacroEvent::Kind::BadArgument) break;
        Perform(event, ports);
        NoteHeld(event, held);
    }
    held.ReleaseAll(ports.input);
    if (ports.releaseStopKey) ports.releaseStopKey();
}

MacroPlayer::MacroPlayer(MacroPorts ports, std::function<void()> endStep)
    : ports_(std::move(ports)), endStep_(std::move(endStep)) {}

MacroPlayer::~MacroPlayer() {
    ports_.stopRequested.store(true);
    WaitAll();
}

namespace {

// A playback's own copy of the lines.
class OwnedLines : public MacroLineSource {
  public:
    explicit OwnedLines(std::vector<std::string> lines) : lines_(std::move(lines)), source_(lines_) {}
    bool next(std::string& line) override { return source_.next(line); }

  private:
    std::vector<std::string> lines_;
    VectorLineSource source_;
};

} // namespace

void MacroPlayer::Start(std::vector<std::string> lines) {
    Start(std::make_unique<OwnedLines>(std::move(lines)));
}

void MacroPlayer::Start(std::unique_ptr<MacroLineSource> lines, std::shared_ptr<PlaybackBegin> begin) {
    const std::lock_guard lock(mutex_);
    ReapFinished();
    auto& playback = playbacks_.emplace_back();
    playback.thread = std::thread([this, &playback, lines = std::move(lines), begin = std::move(begin)] {
        // Nothing may leave the thread: a failing port ends the playback like its last line.
        try {
            PlayMacro(*lines, ports_, begin.get());
        } catch (...) {
            try {
                if (ports_.releaseStopKey) ports_.releaseStopKey();
            } catch (...) {
            }
        }
        // No one waiting for the begin may wait forever, whatever ended the playback.
        if (begin) begin->Settle(PlaybackBegin::State::kBegan);
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
