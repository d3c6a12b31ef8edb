#include "platform/windows/playback_thread_timing.h"

#include <windows.h>
// clang-format off
#include <mmsystem.h>
// clang-format on

namespace orvanta::platform::windows_backend {

namespace {

// The finer timer tick, held from the first tuning on a thread until that thread ends.
//
// Why a finer tick at all: a sleep ends on a timer tick, and at the default 15.6 ms every step of a macro
// would land on that grid; a sleep margin cannot make up for it without spinning most of every step. The
// request counts for the whole process (and, before Windows 10 2004, the whole system), which costs power,
// so it is held only while a playback thread lives: each playback has a thread of its own.
class FineTimerTick {
  public:
    FineTimerTick() : held_(timeBeginPeriod(1) == TIMERR_NOERROR) {}
    ~FineTimerTick() {
        if (held_) timeEndPeriod(1);
    }
    FineTimerTick(const FineTimerTick&) = delete;
    FineTimerTick& operator=(const FineTimerTick&) = delete;

  private:
    bool held_;
};

} // namespace

void TunePlaybackThread() {
    thread_local FineTimerTick tick;
    // Highest rather than time-critical: the thread spins out the last two milliseconds of every step,
    // and at time-critical priority that spin would hold off the very program receiving the input, and
    // the system's own threads, on a machine with one processor.
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_HIGHEST);
}

} // namespace orvanta::platform::windows_backend
