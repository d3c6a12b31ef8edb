#include "scheduler/zone_now.h"

#include "data/task_record.h"
#include "scheduler/calendar.h"

namespace orvanta::scheduler {
namespace {

// A daily task repeating every minute can meet at most this many slots in a repeated stretch.
constexpr int kMostSlotsToSkip = 4 * 60 + 2;

} // namespace

ZoneNow ZoneNow::Read(const platform::Clock& clock) {
    ZoneNow z;
    z.clock = &clock;
    z.utcMs = clock.nowUtcMs();
    z.local = clock.now();
    const std::int64_t firstInstance = clock.utcMsOf(z.local);
    // Both readings are taken a moment apart; only a difference of more than that is a repeated stretch.
    z.repeatMs = z.utcMs - firstInstance > 1000 ? z.utcMs - firstInstance : 0;
    if (const auto change = clock.nextOffsetChangeUtcMs(z.utcMs))
        z.settledUntilWallMs = *change + (LocalMilliseconds(z.local) - z.utcMs);
    return z;
}

ZoneNow ZoneNow::Wall(const platform::LocalDateTime& local) {
    ZoneNow z;
    z.local = local;
    z.utcMs = LocalMilliseconds(local);
    return z;
}

bool ZoneNow::Reached(const platform::LocalDateTime& moment) const {
    const std::int64_t wall = LocalMilliseconds(moment);
    const std::int64_t nowWall = LocalMilliseconds(local);
    if (wall <= nowWall) return true;
    // Only a moment within the repeated stretch ahead can have gone already; everything else is ahead.
    if (repeatMs == 0 || clock == nullptr || wall > nowWall + repeatMs) return false;
    return clock->utcMsOf(moment) <= utcMs;
}

platform::LocalDateTime NextOccurrence(const Schedule& schedule, const ZoneNow& now) {
    platform::LocalDateTime occurrence = NextOccurrence(schedule, now.local);
    if (now.repeatMs != 0) {
        for (int i = 0; i < kMostSlotsToSkip && now.Reached(occurrence); ++i) {
            const platform::LocalDateTime next =
                NextOccurrence(schedule, FromLocalMilliseconds(LocalMilliseconds(occurrence) + 1));
            // A once task without a later slot stays on the moment it has reached.
            if (next <= occurrence) break;
            occurrence = next;
        }
    }
    if (now.clock && LocalMilliseconds(occurrence) >= now.settledUntilWallMs)
        occurrence = now.clock->localOf(now.clock->utcMsOf(occurrence));
    return occurrence;
}

platform::LocalDateTime NextOccurrenceAsShown(const Schedule& schedule, const platform::LocalDateTime& from,
                                              const platform::Clock& clock) {
    return clock.localOf(clock.utcMsOf(NextOccurrence(schedule, from)));
}

} // namespace orvanta::scheduler
