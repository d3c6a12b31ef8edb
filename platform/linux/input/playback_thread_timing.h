#pragma once

#include <chrono>

namespace orvanta::platform::linux_backend {

// Makes the calling thread wake on time: its timer slack becomes the least the kernel allows, and it asks
// the scheduler for a short time slice, so that after each wake-up it gets a processor ahead of
// long-running work instead of waiting out that work's slice. A kernel without slice requests ignores or
// refuses that part; the thread's priority and policy stay as they are.
void TunePlaybackThread();

// A tuned thread wakes within tens of microseconds of its moment, so it can sleep right up to it.
inline constexpr std::chrono::microseconds kTunedThreadSleepMargin{0};

} // namespace orvanta::platform::linux_backend
