#pragma once

#include "platform/api/synthetic_input.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <list>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace orvanta::macros {

// Waits between the lines of a macro.
class MacroWaiter {
  public:
    virtual ~MacroWaiter() = default;
    // Returns once the given milliseconds have passed.
    virtual void wait(std::chrono::milliseconds duration) = 0;
};

// Sleeps until shortly before the moment and yields for the rest, so the recorded spacing holds to about
// a millisecond without keeping a processor busy through a long wait.
class SteadyMacroWaiter : public MacroWaiter {
  public:
    void wait(std::chrono::milliseconds duration) override;
};

// Puts text on the clipboard; the UI does it on its own thread and returns once the text is there, so the
// paste that follows finds it.
class ClipboardPort {
  public:
    virtual ~ClipboardPort() = default;
    virtual void setClipboardText(const std::string& text) = 0;
};

struct MacroPorts {
    platform::SyntheticInput& input;
    ClipboardPort& clipboard;
    MacroWaiter& waiter;
    std::atomic<bool>& stopRequested;     // MacroStopRequested
    std::function<void()> releaseStopKey; // unregisters Alt+F12
};

// Plays the lines once on the calling thread: checks the stop flag before every line, waits out each
// line's spacing and performs its event. Ends after the last line, on a stop, or quietly at a number that
// is no integer; in every case the stop key is released first.
void PlayMacro(const std::vector<std::string>& lines, const MacroPorts& ports);

// Runs playbacks on threads of their own, each over its own copy of the lines. Destroying the player
// requests a stop and waits for the playbacks, which end before their next line.
class MacroPlayer {
  public:
    // endStep runs on the playback's thread after it ends; it must post anything that touches windows.
    MacroPlayer(MacroPorts ports, std::function<void()> endStep);
    ~MacroPlayer();
    MacroPlayer(const MacroPlayer&) = delete;
    MacroPlayer& operator=(const MacroPlayer&) = delete;

    void Start(std::vector<std::string> lines);
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
