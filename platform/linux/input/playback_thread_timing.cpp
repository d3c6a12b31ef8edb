#include "platform/linux/input/playback_thread_timing.h"

#include <cstdint>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace orvanta::platform::linux_backend {

namespace {

// The kernel's struct sched_attr; the C library does not declare it everywhere.
struct SchedAttr {
    std::uint32_t size;
    std::uint32_t sched_policy;
    std::uint64_t sched_flags;
    std::int32_t sched_nice;
    std::uint32_t sched_priority;
    std::uint64_t sched_runtime; // for the normal policies: the requested slice
    std::uint64_t sched_deadline;
    std::uint64_t sched_period;
    std::uint32_t sched_util_min;
    std::uint32_t sched_util_max;
};

// The shortest slice the kernel accepts.
constexpr std::uint64_t kShortSliceNs = 100'000;

} // namespace

void TunePlaybackThread() {
    // Without this a sleep may end up to 50 microseconds late by design, to batch wake-ups.
    prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
    SchedAttr attr{};
    // Read first, so the nice value and policy are written back unchanged.
    if (syscall(SYS_sched_getattr, 0, &attr, sizeof attr, 0) != 0) return;
    attr.size = sizeof attr;
    attr.sched_flags = 0;
    attr.sched_runtime = kShortSliceNs;
    syscall(SYS_sched_setattr, 0, &attr, 0);
}

} // namespace orvanta::platform::linux_backend
