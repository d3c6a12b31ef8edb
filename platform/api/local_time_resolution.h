#pragma once

#include <cstdint>

namespace orvanta::platform {

// Resolves a wall-clock reading (milliseconds since 1970 read as UTC) to the absolute moment it stands
// for, given the zone's UTC offset at any absolute moment. A reading the clock shows twice (the hour a
// daylight-saving change repeats) resolves to its first instance; a reading the clock skips resolves to
// the first moment after the gap, which is where a task set inside the gap belongs.
//
// It relies on a zone changing its offset at most once within any 28 hours, which holds for every zone
// in use; offsets lie within 14 hours either side of UTC.
template <class OffsetAt> // std::int64_t offsetAt(std::int64_t utcMs): the offset in milliseconds
std::int64_t ResolveWallTime(std::int64_t wallMs, OffsetAt offsetAt) {
    constexpr std::int64_t kSpan = 14LL * 3'600'000;
    const std::int64_t before = offsetAt(wallMs - kSpan);
    const std::int64_t after = offsetAt(wallMs + kSpan);
    const std::int64_t early = wallMs - before;
    const std::int64_t late = wallMs - after;
    const bool earlyFits = offsetAt(early) == before;
    const bool lateFits = offsetAt(late) == after;
    if (earlyFits && lateFits) return early < late ? early : late;
    if (earlyFits) return early;
    if (lateFits) return late;
    // In the gap: the change itself lies between the two candidates; find the first moment with the new
    // offset, to the millisecond.
    std::int64_t lo = late < early ? late : early;
    std::int64_t hi = late < early ? early : late;
    while (lo < hi) {
        const std::int64_t mid = lo + (hi - lo) / 2;
        if (offsetAt(mid) == after)
            hi = mid;
        else
            lo = mid + 1;
    }
    return lo;
}

} // namespace orvanta::platform
