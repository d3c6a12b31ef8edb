#pragma once

#include "platform/api/clock.h"
#include "scheduler/occurrence.h"

#include <climits>
#include <cstdint>

namespace orvanta::scheduler {

// One reading of the clock in both its forms, and what that reading means for wall-clock times ahead.
//
// Occurrences are computed on the wall clock, and the wall clock only ever runs ahead, except in the hour
// a daylight-saving change repeats: during its second instance the clock again shows times whose first
// instance has already gone. A task time means its first instance, so those times are behind now even
// though the wall clock has yet to reach them.
struct ZoneNow {
    platform::LocalDateTime local;
    std::int64_t utcMs = 0;
    // How far the wall clock stands behind the first instance of its own reading: the length of the
    // repeated stretch during its second instance, 0 at every other time.
    std::int64_t repeatMs = 0;
    // Wall-clock times from here on lie beyond the zone's next offset change and are checked against
    // it: a time that change skips is shown as the first moment after the gap.
    std::int64_t settledUntilWallMs = INT64_MAX;
    const platform::Clock* clock = nullptr;

    static ZoneNow Read(const platform::Clock& clock);
    // A zone-less reading: local time taken as absolute (tests and readers that only show the list).
    static ZoneNow Wall(const platform::LocalDateTime& local);

    // Whether a wall-clock moment has come (now is at or after it).
    bool Reached(const platform::LocalDateTime& moment) const;
};

// NextOccurrence seen from now, moved on past any occurrence whose moment has already gone although the
// wall clock shows it ahead (the repeated hour above); a once task moves only to a later slot of its day.
// An occurrence at a time the clock skips comes out as the first moment after the gap, so that every
// task due in the gap shares that moment's due key and they run together, once.
platform::LocalDateTime NextOccurrence(const Schedule& schedule, const ZoneNow& now);

// NextOccurrence seen from a wall-clock time, with a skipped time shown as the moment after the gap.
platform::LocalDateTime NextOccurrenceAsShown(const Schedule& schedule, const platform::LocalDateTime& from,
                                              const platform::Clock& clock);

} // namespace orvanta::scheduler
