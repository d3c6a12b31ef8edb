#include "scheduler/poll_tick.h"

#include "scheduler/calendar.h"

namespace orvanta::scheduler {

long long PollGapSeconds(const platform::LocalDateTime& then, const platform::LocalDateTime& now) {
    const long long days = DayNumber(DateOf(now)) - DayNumber(DateOf(then));
    const long long ms = MillisecondOfDay(now) - MillisecondOfDay(then);
    return ms / 1000 + days * 86400; // C++ division truncates toward zero
}

PollTicker::PollTicker(SchedulerState& state, const platform::Clock& clock, std::function<int()> acLineStatus,
                       std::function<void()> rebuild, std::function<void()> warnOnBattery,
                       std::function<bool()> mustRebuild)
    : state_(state), clock_(clock), acLineStatus_(std::move(acLineStatus)), rebuild_(std::move(rebuild)),
      warnOnBattery_(std::move(warnOnBattery)), mustRebuild_(std::move(mustRebuild)) {}

bool PollTicker::Tick() {
    clock_.refreshZone();
    const platform::LocalDateTime then = state_.lastPollTime;
    const std::int64_t thenUtc = state_.lastPollUtcMs;
    const long long gap = (clock_.nowUtcMs() - thenUtc) / 1000; // truncated toward zero
    // The wall clock moving otherwise than absolute time is a change of zone or of its offset; a
    // rebuild then is harmless (nothing that ran runs again) and arms what the new wall clock needs.
    const long long wallGap = PollGapSeconds(then, clock_.now());
    const bool jumped = gap > 15 || gap < 5 || (thenUtc != 0 && (wallGap - gap > 1 || gap - wallGap > 1));
    // Recorded before the rebuild, so a rebuild that fails still leaves the next tick a normal gap.
    state_.MarkPolled(clock_);
    const bool rebuild = jumped || state_.rebuildFailed || (mustRebuild_ && mustRebuild_());
    if (rebuild) rebuild_();
    const int status = acLineStatus_();
    if (status == 0 && state_.wasOnMains) warnOnBattery_();
    state_.wasOnMains = status != 0;
    return rebuild;
}

} // namespace orvanta::scheduler
