#pragma once

#include <chrono>

namespace orvanta::platform::windows_backend {

// Makes the calling thread wake on time for as long as it lives: the system timer ticks every millisecond
// instead of every 15.6, and the thread runs above normal priority, so on waking it takes a processor
// ahead of the programs the macro types into. Both end with the thread.
void TunePlaybackThread();

// A sleep on a tuned thread ends up to one tick late: the waiter stops sleeping this long before the
// moment and spins the rest.
inline constexpr std::chrono::microseconds kTunedThreadSleepMargin{2000};

} // namespace orvanta::platform::windows_backend
