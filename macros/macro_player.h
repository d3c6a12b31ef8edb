#pragma once

#include "macros/macro_line_source.h"
#include "platform/api/synthetic_input.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace orvanta::macros {

// Waits between the lines of a macro.
class MacroWaiter {
  public:
    using Clock = std::chrono::steady_clock;
    virtual ~MacroWaiter() = default;
    // Returns once the given milliseconds have passed.
    virtual void wait(std::chrono::milliseconds duration) = 0;
    // Returns at the moment of a line, counted from the start of the playback so that the time each event
    // takes does not add up over a long macro; spacing is the same wait counted from the line before, for
    // waiters that keep no clock.
    virtual void waitUntil(Clock::time_point moment, std::chrono::milliseconds spacing) {
        (void)moment;
        wait(spacing);
    }
    // As waitUntil, but returns early once stop is set, so a stop never waits out a long pause. Waiters
    // that cannot be interrupted keep the plain wait.
    virtual void waitUntilOrStop(Clock::time_point moment, std::chrono::milliseconds spacing,
                                 const std::atomic<bool>& stop) {
        (void)stop;
        waitUntil(moment, spacing);
    }
    // Runs on the playback's thread before its first line.
    virtual void beginPlayback() {}
};

// Sleeps until shortly before the moment and polls the clock for the rest, so the recorded spacing holds
// to well under a millisecond without keeping a processor busy through a wait.
class SteadyMacroWaiter : public MacroWaiter {
  public:
    // tuneThread, when given, runs on each playback's thread first: the platform's way of having the
    // thread woken on time. sleepMargin is how long before the moment sleeping ends; the default covers
    // an untuned thread's usual wake-up lateness.
    explicit SteadyMacroWaiter(std::function<void()> tuneThread = {},
                               std::chrono::microseconds sleepMargin = std::chrono::microseconds(200))
        : tuneThread_(std::move(tuneThread)), sleepMargin_(sleepMargin) {}
    void wait(std::chrono::milliseconds duration) override;
    void waitUntil(Clock::time_point moment, std::chrono::milliseconds spacing) override;
    void waitUntilOrStop(Clock::time_point moment, std::chrono::milliseconds spacing,
                         const std::atomic<bool>& stop) override;
    void beginPlayback() override;

  private:
    std::function<void()> tuneThread_;
    std::chrono::microseconds sleepMargin_;
};

// Puts text on the clipboard; the UI does it on its own thread and returns once the text is there, so the
// paste that follows finds it.
class ClipboardPort {
  public:
    virtual ~ClipboardPort() = default;
    virtual void setClipboardText(const std::string& text) = 0;
    // As setClipboardText, but gives up once stop is set: the thread that would set the text may itself
    // be waiting for this playback to end. False when the text was not set.
    virtual bool setClipboardTextUnlessStopped(const std::string& text, const std::atomic<bool>& stop) {
        (void)stop;
        setClipboardText(text);
        return true;
    }
};

struct MacroPorts {
    platform::SyntheticInput& input;
    ClipboardPort& clipboard;
    MacroWaiter& waiter;
    std::atomic<bool>& stopRequested;     // MacroStopRequested
    std::function<void()> releaseStopKey; // unregisters Alt+F12
    // Before the first line: the longest wait for the keyboard to be let go (0: no wait). A macro started
    // by its hotkey would otherwise type while the hotkey's own keys are down, into the program's key
    // grab that lasts until they are released, and its first keys would be lost.
    std::chrono::milliseconds waitForReleasedKeys{0};
    // Told, on the playback's thread, why the desktop let the playback send no input at all (it asks
    // only once a playback begins, so the macro starter cannot know before).
    std::function<void(const std::string& why)> refused;
};

// How the begin of one playback went, for a starter that waits to know before it goes on: the desktop
// may ask the user first, and a refusal must stop what the task does after its macro. Settled once, on
// the playback's thread; read from any.
class PlaybackBegin {
  public:
    enum class State { kPending, kBegan, kRefused };
    State state() const;
    std::string refusal() const; // the desktop's words, once refused
    // The first settle counts. False when the starter stopped waiting before it: the playback then tells
    // a refusal itself.
    bool Settle(State state, const std::string& refusal = {});
    // For the starter that stops waiting: true when the begin is settled already, else false, and the
    // outcome is the playback's to tell from then on.
    bool HandOverIfPending();

  private:
    mutable std::mutex mutex_;
    State state_ = State::kPending;
    std::string refusal_;
    bool handedOver_ = false;
};

// Plays the lines once on the calling thread: checks the stop flag before every line, waits out each
// line's spacing and performs its event. Ends after the last line, on a stop, or quietly at a number that
// is no integer; in every case the keys and buttons it left held are released, then the stop key. Where
// the input refuses the playback at its begin, no line is played and the refused port is told why.
// A stop that comes during a wait ends the playback at once; the line waited for is not played.
void PlayMacro(const std::vector<std::string>& lines, const MacroPorts& ports);
// With begin, the outcome of the input's begin is settled there, and a refusal is left to the starter
// waiting for it instead of the refused port, unless the starter stopped waiting.
void PlayMacro(MacroLineSource& lines, const MacroPorts& ports, PlaybackBegin* begin = nullptr);

// Runs playbacks on threads of their own, each over its own copy of the lines. Destroying the player
// requests a stop and waits for the playbacks, which end within a few milliseconds: every wait of a
// playback watches the stop flag.
class MacroPlayer {
  public:
    // endStep runs on the playback's thread after it ends; it must post anything that touches windows.
    MacroPlayer(MacroPorts ports, std::function<void()> endStep);
    ~MacroPlayer();
    MacroPlayer(const MacroPlayer&) = delete;
    MacroPlayer& operator=(const MacroPlayer&) = delete;

    void Start(std::vector<std::string> lines);
    // The source is read on the playback's thread, so a slow or large file never holds up the caller.
    // begin, when given, is settled however the playback goes, an exception included.
    void Start(std::unique_ptr<MacroLineSource> lines, std::shared_ptr<PlaybackBegin> begin = nullptr);
    // Waits for every running playback to end; for tests and shutdown.
    void WaitAll();

  private:
    struct Playback {
        std::thread thread;
        std::atomic<bool> done{false};
    };
    void ReapFinished();

    MacroPorts ports_;
    std::function<void()> endStep_;
    std::mutex mutex_;
    std::list<Playback> playbacks_;
};

// The task macros' player, started by StartTaskMacro; it has no end step.
class DoDo2 : public MacroPlayer {
  public:
    explicit DoDo2(MacroPorts ports) : MacroPlayer(std::move(ports), {}) {}
};

// The recorder's playback; its end step gives the recorder window back.
class DoDo : public MacroPlayer {
  public:
    DoDo(MacroPorts ports, std::function<void()> endStep)
        : MacroPlayer(std::move(ports), std::move(endStep)) {}
};

} // namespace orvanta::macros
