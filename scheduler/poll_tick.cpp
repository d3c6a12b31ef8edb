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
    const long long gap = (clock_.nowUtcMs() - state_.lastPollUtcMs) / 1000; // truncated toward zero
    const bool jumped = gap > 15 || gap < 5;
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
